#include "settings/ini_form.h"

#include <cstddef>

#include "core/text.h"
#include "core/utf16le.h"
#include "platform/profile_store.h"

namespace kestrova {
namespace {

constexpr std::string_view kUtf16Mark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool StartsWith(std::string_view bytes, std::string_view mark) { return bytes.substr(0, mark.size()) == mark; }

// An INI file is mostly names, "=", "[" and line ends: in UTF-16 the high
// byte of most of its characters is NUL. Kanji with a NUL low byte (U+4E00)
// put a few NULs on the other side.
IniForm ByNulPattern(std::string_view bytes) {
  std::size_t even = 0;
  std::size_t odd = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\0') ++(i % 2 == 0 ? even : odd);
  }
  const std::size_t units = bytes.size() / 2;
  if (odd * 4 >= units && even * 4 <= odd) return IniForm::kUtf16Plain;
  if (even * 4 >= units && odd * 4 <= even) return IniForm::kUtf16Be;
  return IniForm::kUnknown;
}

std::string SwappedPairs(std::string_view bytes) {
  std::string out(bytes.substr(0, bytes.size() & ~std::size_t{1}));
  for (std::size_t i = 0; i + 1 < out.size(); i += 2) std::swap(out[i], out[i + 1]);
  return out;
}

}  // namespace

IniForm DetectIniForm(std::string_view bytes) {
  if (StartsWith(bytes, kUtf16Mark)) return IniForm::kUtf16;
  if (StartsWith(bytes, kUtf16BeMark)) return IniForm::kUtf16Be;
  if (StartsWith(bytes, kUtf8Mark)) return IniForm::kUtf8;
  if (bytes.find('\0') != std::string_view::npos) return ByNulPattern(bytes);
  bool multiByte = false;
  for (const char c : bytes) multiByte = multiByte || static_cast<unsigned char>(c) >= 0x80;
  return multiByte && IsValidUtf8(bytes) ? IniForm::kUtf8Plain : IniForm::kAnsi;
}

bool ReadInMemory(IniForm form) {
  return form == IniForm::kUtf8 || form == IniForm::kUtf8Plain || form == IniForm::kUtf16Plain ||
         form == IniForm::kUtf16Be;
}

bool FitsCodePage(CodePage& codePage, const std::string& utf8) {
  return codePage.FromAnsi(codePage.ToAnsi(utf8)) == utf8;
}

std::string CleanUtf8(std::string_view bytes) { return Utf8FromUtf16Le(Utf16Le(bytes)); }

std::string IniText(CodePage& codePage, std::string_view bytes, IniForm form) {
  switch (form) {
    case IniForm::kUtf16:
      return Utf8FromUtf16Le(bytes.substr(kUtf16Mark.size()));
    case IniForm::kUtf16Plain:
      return Utf8FromUtf16Le(bytes);
    case IniForm::kUtf16Be:
      return Utf8FromUtf16Le(SwappedPairs(bytes.substr(StartsWith(bytes, kUtf16BeMark) ? 2 : 0)));
    case IniForm::kUtf8:
      return CleanUtf8(bytes.substr(kUtf8Mark.size()));
    case IniForm::kUtf8Plain:
      return std::string(bytes);
    case IniForm::kAnsi:
    case IniForm::kUnknown:
      break;
  }
  return codePage.FromAnsi(std::string(bytes));
}

std::string RewrittenFile(CodePage& codePage, std::string_view bytes, IniForm from, bool needUnicode,
                          IniForm& to) {
  const std::string text = IniText(codePage, bytes, from);
  const bool utf8 = from == IniForm::kUtf8 || from == IniForm::kUtf8Plain;
  if (utf8 && !needUnicode && FitsCodePage(codePage, text)) {
    to = IniForm::kAnsi;
    return codePage.ToAnsi(text);
  }
  to = IniForm::kUtf16;
  return std::string(kUtf16Mark) + Utf16Le(text);
}

std::string PartialSideFile(const std::string& path) { return path + ".tmp"; }
std::string WholeSideFile(const std::string& path) { return path + ".new"; }

RewriteResult RewriteInPlace(ProfileStore& store, const std::string& path, std::string_view old,
                             std::string_view bytes) {
  const std::string partial = PartialSideFile(path);
  const std::string whole = WholeSideFile(path);
  // Nothing to tear: an empty side file would read as none.
  if (bytes.empty()) return store.WriteFileInPlace(path, bytes) ? RewriteResult::kDone : RewriteResult::kUnchanged;
  // The rename tells a whole side file from one a crash cut short.
  if (!store.WriteFileInPlace(partial, bytes) || !store.RenameFile(partial, whole)) {
    store.RemoveFile(partial);
    return RewriteResult::kUnchanged;
  }
  // From memory: the side file may be gone by now, and would read as empty.
  if (store.WriteFileInPlace(path, bytes)) {
    return store.RemoveFile(whole) ? RewriteResult::kDone : RewriteResult::kPending;
  }
  // A file that could not be written at all (read-only) keeps its old form,
  // and no side file is left to overwrite it some later day.
  if (store.ReadFileBytes(path) == std::optional<std::string>(old) && store.RemoveFile(whole)) {
    return RewriteResult::kUnchanged;
  }
  return RewriteResult::kPending;
}

bool SettleSideFiles(ProfileStore& store, const std::string& path, std::optional<std::string>& side) {
  store.RemoveFile(PartialSideFile(path));  // the original is whole: the cut came before the rename
  const std::string whole = WholeSideFile(path);
  const std::optional<std::string> onDisk = store.ReadFileBytes(whole);
  // Empty: no side file (a rewrite never leaves an empty one).
  if (onDisk && !onDisk->empty()) {
    side = onDisk;
  } else if (!side) {
    // There but unreadable, it may still finish the file some day.
    return onDisk && store.RemoveFile(whole);
  }
  // A file that holds it already was finished; nothing was written since.
  if (store.ReadFileBytes(path) != side && !store.WriteFileInPlace(path, *side)) return false;
  return store.RemoveFile(whole);
}

}  // namespace kestrova
