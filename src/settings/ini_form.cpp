#include "settings/ini_form.h"

#include <optional>

#include "core/utf16le.h"
#include "platform/profile_store.h"

namespace kestrova {
namespace {

constexpr std::string_view kUtf16Mark = "\xFF\xFE";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Copies the whole side file over the original, then removes it.
bool CopyBack(ProfileStore& store, const std::string& path, const std::string& side) {
  const std::optional<std::string> bytes = store.ReadFileBytes(side);
  if (!bytes) return false;
  if (!store.WriteFileInPlace(path, *bytes)) return false;
  store.RemoveFile(side);
  return true;
}

}  // namespace

IniForm DetectIniForm(std::string_view bytes) {
  if (bytes.substr(0, kUtf16Mark.size()) == kUtf16Mark) return IniForm::kUtf16;
  if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) return IniForm::kUtf8;
  return IniForm::kAnsi;
}

bool FitsCodePage(CodePage& codePage, const std::string& utf8) {
  return codePage.FromAnsi(codePage.ToAnsi(utf8)) == utf8;
}

std::string CleanUtf8(std::string_view bytes) { return Utf8FromUtf16Le(Utf16Le(bytes)); }

std::string RewrittenFile(CodePage& codePage, std::string_view bytes, bool needUnicode, IniForm& to) {
  const bool utf8 = DetectIniForm(bytes) == IniForm::kUtf8;
  const std::string text =
      utf8 ? CleanUtf8(bytes.substr(kUtf8Mark.size())) : codePage.FromAnsi(std::string(bytes));
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
  // The rename tells a whole side file from one a crash cut short.
  if (!store.WriteFileInPlace(partial, bytes) || !store.RenameFile(partial, whole)) {
    store.RemoveFile(partial);
    return RewriteResult::kUnchanged;
  }
  if (CopyBack(store, path, whole)) return RewriteResult::kDone;
  // A file that could not be written at all (read-only) keeps its old form,
  // and no side file is left to overwrite it some later day.
  if (store.ReadFileBytes(path) == std::optional<std::string>(old) && store.RemoveFile(whole)) {
    return RewriteResult::kUnchanged;
  }
  return RewriteResult::kPending;
}

bool FinishInterruptedRewrite(ProfileStore& store, const std::string& path) {
  store.RemoveFile(PartialSideFile(path));  // the original is whole: the crash came before the rename
  const std::string whole = WholeSideFile(path);
  const std::optional<std::string> bytes = store.ReadFileBytes(whole);
  if (!bytes) return true;  // a store without files, or nothing it can read
  // Empty: no side file, or the rewrite of a UTF-8 file that held only its
  // mark, which reads as empty either way.
  if (bytes->empty()) {
    store.RemoveFile(whole);
    return true;
  }
  return CopyBack(store, path, whole);
}

}  // namespace kestrova
