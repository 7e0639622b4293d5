// LeftoverBackup: the backup copies that a save in place makes before it writes over a
// file (one with several hard links, or in a folder that cannot take a temporary file).
// The backup lies beside the file as ".NAME.backup-XXXXXX", or, when that folder takes no
// new file, in the private temporary folder under a name made from the file's full path.
// The saving process holds the backup's liveness lock until it is done; a backup that
// nobody holds was left by a save that was cut short, and the file beside it may be a mix
// of old and new text. Opening the file finds such backups: one that holds nothing the
// file does not (a copy broken off before the file was touched) is removed, the others
// are offered to the user, and stay until the user has their text elsewhere.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace varlin {

// Makes the backup file for the file target (its links resolved) and holds its lock;
// the descriptor, or -1 with errno. path receives its name.
int CreateBackupFile(const std::string& target, std::string& path);

// The leftover backups of the file name; those that hold only a beginning of the file's
// present bytes (or all of them) are removed on the way.
std::vector<std::string> FindLeftoverBackups(const std::string& name);

// A leftover backup taken over by a document that shows its text: locked, so that no
// other editor offers it again, and removed once the document is saved or discarded.
// Destroyed otherwise (the program ends or crashes), it stays for the next open.
class AdoptedBackup {
public:
    // Null when another process holds the backup (it has taken it over meanwhile).
    static std::unique_ptr<AdoptedBackup> Adopt(const std::string& path);
    ~AdoptedBackup();
    AdoptedBackup(const AdoptedBackup&) = delete;
    AdoptedBackup& operator=(const AdoptedBackup&) = delete;

    const std::string& Path() const { return path_; }
    // The user has the text elsewhere: the backup is deleted.
    void Remove();

private:
    AdoptedBackup(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
    std::string path_;
    int fd_;
};

}  // namespace varlin
