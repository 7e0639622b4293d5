// What the fuzz targets share: a scratch folder of the process (removed at exit) that
// holds every file a target writes, the settings file and the private temporary folder;
// a quiet headless host; and a reader that takes the settings of a run from the front of
// the input, so that the fuzzer varies them along with the text.
#pragma once

#include "platform/HeadlessHost.h"
#include "platform/Registry.h"
#include "platform/TempFiles.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>

#include <dirent.h>
#include <ftw.h>
#include <unistd.h>

namespace varlin::fuzz {

inline int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
    return ::remove(path);
}

// The scratch folder, made on first use below $TMPDIR and removed at exit (fuzz/run.sh
// removes what a fuzzer that ends without exit handlers leaves). Without TMPDIR it is in
// memory (/dev/shm) where there is such a folder, since every save syncs its file to the
// disk; else below /tmp.
inline const std::string& Scratch() {
    static const std::string folder = [] {
        const char* base = std::getenv("TMPDIR");
        std::string root = base && *base ? base : "/tmp";
        if (!(base && *base) && ::access("/dev/shm", W_OK | X_OK) == 0) root = "/dev/shm";
        std::string pattern = root + "/varlin-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("varlin fuzz: scratch folder");
            std::abort();
        }
        // A copy that outlives the string: exit handlers run after statics are destroyed.
        static char removeAtExit[4096];
        std::snprintf(removeAtExit, sizeof removeAtExit, "%s", pattern.c_str());
        std::atexit([] { ::nftw(removeAtExit, RemoveEntry, 16, FTW_DEPTH | FTW_PHYS); });
        return pattern;
    }();
    return folder;
}

inline std::string ScratchPath(const std::string& name) { return Scratch() + "/" + name; }

// Removes the files a run left in the scratch folder (its folders stay: the private
// temporary folder lives as long as the process).
inline void ClearScratchFiles() {
    if (DIR* dir = ::opendir(Scratch().c_str())) {
        while (const dirent* entry = ::readdir(dir))
            if (entry->d_type != DT_DIR) ::unlink(ScratchPath(entry->d_name).c_str());
        ::closedir(dir);
    }
}
inline std::string SettingsFile() { return ScratchPath("settings.ini"); }

// A headless host that prints nothing and answers every question with answer; the
// settings file and the temporary files go to the scratch folder.
inline HeadlessHost& QuietHost(HeadlessHost::DefaultAnswer answer = HeadlessHost::DefaultAnswer::Yes) {
    static HeadlessHost host;
    static const bool installed = [] {
        SetSettingsFile(SettingsFile());
        SetTemporaryBase(Scratch());
        host.writeMessagesToStderr = false;
        host.Install();
        return true;
    }();
    (void)installed;
    host.Reset();
    host.writeMessagesToStderr = false;
    host.defaultAnswer = answer;
    return host;
}

inline void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "varlin fuzz: cannot write %s\n", path.c_str());
        std::abort();
    }
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The input as settings bytes at its front and the text after them; a short input reads
// as zeros.
class InputReader {
public:
    InputReader(const std::uint8_t* data, std::size_t size)
        : text_(reinterpret_cast<const char*>(data), data ? size : 0) {}
    std::uint8_t Byte() {
        if (text_.empty()) return 0;
        const auto b = static_cast<std::uint8_t>(text_.front());
        text_.remove_prefix(1);
        return b;
    }
    // The next piece up to a separator byte (not included), or the rest.
    std::string_view Piece(char separator) {
        const std::size_t at = text_.find(separator);
        std::string_view piece = text_.substr(0, at);
        text_.remove_prefix(at == std::string_view::npos ? text_.size() : at + 1);
        return piece;
    }
    std::string_view Rest() const { return text_; }

private:
    std::string_view text_;
};

// Ends the run with a message: the fuzzer keeps the input as a crash.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "varlin fuzz: %s\n", what);
    std::abort();
}

}  // namespace varlin::fuzz
