#pragma once
// The forms Kestrova.ini can take and the one rewrite that changes it.
// The file stays in the ANSI code page, byte for byte as the service writes
// it, while every text fits that code page; a text that does not fit turns it
// into UTF-16LE with a byte-order mark, which the service keeps from then on.
// A UTF-8 file with a byte-order mark (an editor may save one) is read as it
// is and rewritten at the first write: in the code page when all of it fits,
// else in UTF-16LE.
#include <string>
#include <string_view>

namespace kestrova {

class CodePage;
class ProfileStore;

enum class IniForm : unsigned char { kAnsi, kUtf16, kUtf8 };

// By the byte-order mark; anything else (a missing file, a broken mark) is ANSI.
IniForm DetectIniForm(std::string_view bytes);

// Whether `utf8` comes back unchanged from the ANSI code page.
bool FitsCodePage(CodePage& codePage, const std::string& utf8);

// The text of a UTF-8 file after its mark, each byte that starts no
// well-formed character as U+FFFD (what the Unicode calls would make of it).
std::string CleanUtf8(std::string_view bytes);

// The whole file, every line kept in its place, in the form it takes now:
// UTF-16LE when `needUnicode` or when a UTF-8 file does not fit the code page.
// `bytes` is an ANSI or UTF-8 file; `to` is set to the new form.
std::string RewrittenFile(CodePage& codePage, std::string_view bytes, bool needUnicode, IniForm& to);

// The side files of a rewrite: the new file while it is written, and once it is whole.
std::string PartialSideFile(const std::string& path);
std::string WholeSideFile(const std::string& path);

enum class RewriteResult : unsigned char {
  kDone,
  kUnchanged,  // failed before the file was touched
  kPending,    // the file may be half written: the whole side file finishes it at the next start
};

// Replaces the contents `old` of `path` with `bytes` in place (a hard link
// to the file keeps it) so that a crash leaves the old or the new file whole:
// the new file is written beside it and renamed once whole, then copied over
// the original, then removed.
RewriteResult RewriteInPlace(ProfileStore& store, const std::string& path, std::string_view old,
                             std::string_view bytes);

// Completes a rewrite that a crash interrupted, and drops a side file that
// was never finished. False when a whole side file is still waiting.
bool FinishInterruptedRewrite(ProfileStore& store, const std::string& path);

}  // namespace kestrova
