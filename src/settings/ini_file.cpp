#include "settings/ini_file.h"

#include <optional>
#include <utility>

#include "core/text.h"
#include "platform/profile_store.h"

namespace kestrova {
namespace {

// The longest text the settings file hands out, in bytes of the ANSI code page.
constexpr std::size_t kMaxValueBytes = 127;

}  // namespace

std::string CutToAnsiBytes(CodePage& codePage, const std::string& utf8, std::size_t maxBytes) {
  if (codePage.ToAnsi(utf8).size() <= maxBytes) return utf8;
  // Character by character: each one costs one or two bytes (an emoji two "?").
  std::size_t used = 0;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const std::size_t n = Utf8CharLength(utf8, i);
    const std::size_t cost = codePage.ToAnsi(utf8.substr(i, n)).size();
    if (used + cost > maxBytes) break;
    used += cost;
    i += n;
  }
  return utf8.substr(0, i);
}

IniFile::IniFile(ProfileStore& store, CodePage& codePage, std::string path)
    : store_(store), codePage_(codePage), path_(std::move(path)) {}

void IniFile::KnowForm() {
  if (formKnown_) return;
  formKnown_ = true;
  const std::optional<std::string> bytes = store_.ReadFileBytes(path_);
  form_ = bytes ? DetectIniForm(*bytes) : IniForm::kAnsi;
  if (form_ == IniForm::kUtf8) utf8_.Use(CleanUtf8(std::string_view(*bytes).substr(3)));
}

IniForm IniFile::Form() {
  KnowForm();
  return form_;
}

int IniFile::IniReadInt(const std::string& section, const std::string& key, int def) {
  KnowForm();
  if (form_ != IniForm::kUtf8) return store_.ReadInt(path_, section, key, def);
  const std::optional<std::string> value = utf8_.LookUp(section, key);
  return value && !value->empty() ? ParseProfileInt(*value) : def;
}

std::string IniFile::IniReadString(const std::string& section, const std::string& key,
                                   const std::string& def) {
  KnowForm();
  std::string value = form_ == IniForm::kUtf8 ? utf8_.LookUp(section, key).value_or(def)
                                              : store_.ReadString(path_, section, key, def);
  if (const std::size_t nul = value.find('\0'); nul != std::string::npos) value.resize(nul);
  return CutToAnsiBytes(codePage_, value, kMaxValueBytes);
}

bool IniFile::IniWriteString(const std::string& section, const std::string& key, const std::string& value) {
  if (stuck_) return false;
  KnowForm();
  const std::string line = LineBreaksAsBlanks(value);
  const bool fits = Fits(section) && Fits(key) && Fits(line);
  // A Unicode file takes any text; the service keeps it Unicode.
  const bool change = form_ == IniForm::kUtf8 || (!fits && form_ != IniForm::kUtf16);
  if (change && !ChangeForm(!fits)) return false;
  return store_.WriteString(path_, section, key, line);
}

bool IniFile::ChangeForm(bool needUnicode) {
  const std::optional<std::string> bytes = store_.ReadFileBytes(path_);
  if (!bytes) return false;
  const IniForm now = DetectIniForm(*bytes);
  if (now == IniForm::kUtf16 || (now == IniForm::kAnsi && !needUnicode)) {
    form_ = now;
    return true;
  }
  IniForm to = IniForm::kUtf16;
  const std::string rewritten = RewrittenFile(codePage_, *bytes, needUnicode, to);
  switch (RewriteInPlace(store_, path_, *bytes, rewritten)) {
    case RewriteResult::kDone:
      form_ = to;
      return true;
    case RewriteResult::kPending:
      stuck_ = true;
      return false;
    case RewriteResult::kUnchanged:
      break;
  }
  return false;
}

void IniFile::FinishInterruptedRewrite() {
  stuck_ = !kestrova::FinishInterruptedRewrite(store_, path_);
  formKnown_ = false;
}

}  // namespace kestrova
