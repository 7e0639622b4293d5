// String utilities: small routines on zero-terminated byte strings (ANSI or OEM texts,
// one byte per character) and on single characters, shared by the whole program. They
// work on the caller's buffers with an explicit size in bytes (terminator included),
// never allocate, and answer a null pointer or a too-small buffer with a neutral result.
#pragma once

#include <cstdio>

namespace varlin {

// Copies src (null counts as "") into dst, at most size - 1 characters, terminated; the
// rest of the buffer is zero-filled. Nothing when dst is null or size < 1.
void CopyString(char* dst, const char* src, int size);

// Appends as much of src as fits into size - 1 characters in total; dst stays terminated.
// Nothing when dst or src is null or size < 1. A dst that is not terminated within size
// is terminated at size - 1 first, so the routine never reads beyond the buffer.
void AppendString(char* dst, const char* src, int size);

// Blank characters are the bytes 1 to 32; bytes 128 to 255 never are.
bool IsBlankChar(int c);
// True for a null text and for one that holds only blank characters (or nothing).
bool IsBlank(const char* s);

// Reads the token up to the next sep (or the end) at *cursor into out (at most
// outSize - 1 characters; the rest of a longer token is skipped), moves the cursor past
// the token and one separator and returns 1. Returns 0 with out "" at the end of the text,
// for a null cursor or text, or sep 0; 0 without writing when out is null or outSize < 1.
// Two separators in a row give an empty token; blanks are not trimmed.
int NextToken(const char** cursor, char sep, char* out, int outSize);

// Token number index (0-based) of list, or "" when the list has fewer tokens.
void GetListItem(const char* list, int index, char sep, char* out, int outSize);

// Opens a gap of n blanks at pos. Returns -1 and changes nothing when the text would not
// fit (length + n >= size - 1), when pos lies beyond the text, or n < 0; else 0.
int InsertBlanks(char* s, int pos, int n, int size);

// Removes n characters at pos (all from pos on when fewer remain). Nothing when pos is at
// or beyond the end of the text (within size) or n < 1.
void DeleteChars(char* s, int pos, int n, int size);

// Copies in to out with a backslash before every double quote; stops at the end of in or
// as soon as fewer than 3 bytes of room are left (a plain character uses 1, an escaped
// quote 2); out is terminated when at least 1 byte of room is left.
void EscapeQuotes(const char* in, char* out, int size);

// False only for a lower-case letter of the ANSI table.
bool IsNotLowerLetter(int c);
// True unless c is an ASCII letter or digit or '_'.
bool IsIdentifierBreak(int c);

// The first occurrence of sub in s (case-sensitive), or null; an empty sub is found at s.
const char* FindText(const char* s, const char* sub);
// Index of the first occurrence of sub in s at or after start, or -1 (also for a start
// below 0 or beyond the text).
int FindFrom(const char* s, int start, const char* sub);

// Reads one line piece. Plain: like fgets (at most size - 1 bytes, up to and including a
// line feed); returns buf, or null at the end of the file. Wide (16-bit little-endian
// text): keeps the first byte of each pair and stops after a pair whose first byte is a
// line feed, when size - 1 bytes are stored, or at the end of the file (a pair cut by the
// end is dropped); returns the position after the last byte stored, or null when nothing
// was stored.
char* ReadPiece(char* buf, int size, std::FILE* file, int wide);

}  // namespace varlin
