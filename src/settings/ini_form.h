#pragma once
// The forms Kestrova.ini can take and the one rewrite that changes it.
// The file stays in the ANSI code page as the service writes it while every
// text fits that code page; a text that does not fit turns it into UTF-16LE
// with a byte-order mark, which the service keeps from then on. Files an
// editor may save in other forms (UTF-8 with or without a mark, UTF-16LE
// without one, UTF-16BE) are read as they are and rewritten at the first
// write: a UTF-8 file in the code page when all of it fits, else in UTF-16LE;
// a UTF-16 file in UTF-16LE. Bytes of no known form are never rewritten.
#include <optional>
#include <string>
#include <string_view>

namespace kestrova {

class CodePage;
class ProfileStore;

enum class IniForm : unsigned char {
  kAnsi,        // the code page, as the service writes it
  kUtf16,       // UTF-16LE with its mark, as the service writes it
  kUtf8,        // UTF-8 with a mark
  kUtf8Plain,   // UTF-8 without a mark, holding at least one multi-byte character
  kUtf16Plain,  // UTF-16LE without a mark
  kUtf16Be,     // UTF-16BE, with or without its mark
  kUnknown,     // NUL bytes in no UTF-16 pattern: read as ANSI, never rewritten
};

// By the byte-order mark, else by the bytes: NULs at every other position
// make UTF-16, valid UTF-8 with multi-byte characters makes UTF-8 (Shift-JIS
// text almost never is), anything else is ANSI.
IniForm DetectIniForm(std::string_view bytes);

// The forms the service cannot read or write, which are read here from memory.
bool ReadInMemory(IniForm form);

// Whether `utf8` comes back unchanged from the ANSI code page.
bool FitsCodePage(CodePage& codePage, const std::string& utf8);

// The text of a UTF-8 file after its mark, each byte that starts no
// well-formed character as U+FFFD (what the Unicode calls would make of it).
std::string CleanUtf8(std::string_view bytes);

// The file's text in UTF-8, whatever its form.
std::string IniText(CodePage& codePage, std::string_view bytes, IniForm form);

// The whole file, every line kept in its place, in the form it takes now:
// UTF-16LE when `needUnicode`, when a UTF-8 file does not fit the code page
// and for every UTF-16 file. `to` is set to the new form.
std::string RewrittenFile(CodePage& codePage, std::string_view bytes, IniForm from, bool needUnicode,
                          IniForm& to);

// The side files of a rewrite: the new file while it is written, and once it is whole.
std::string PartialSideFile(const std::string& path);
std::string WholeSideFile(const std::string& path);

enum class RewriteResult : unsigned char {
  kDone,
  kUnchanged,  // failed before the file was touched
  kPending,    // a whole side file is left: the file may be half written, or the side file would
               // not go; nothing may be written until it is settled
};

// Replaces the contents `old` of `path` with `bytes` in place (a hard link
// to the file keeps it) so that a crash leaves the old or the new file whole:
// the new file is written beside it and renamed once whole, then `bytes` is
// written over the original, then the side file is removed.
RewriteResult RewriteInPlace(ProfileStore& store, const std::string& path, std::string_view old,
                             std::string_view bytes);

// Completes a rewrite that was cut short and drops a side file that was
// never finished. The whole side file goes over the original only when the
// original does not already hold it. `side` holds the side file's bytes when
// they were read before (a side file that has gone since is finished from
// them) and is given them when they can be read. False while a side file is
// left (or cannot be read).
bool SettleSideFiles(ProfileStore& store, const std::string& path, std::optional<std::string>& side);

}  // namespace kestrova
