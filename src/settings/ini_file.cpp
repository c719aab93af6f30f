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

IniForm IniFile::FormOf(const std::string& bytes) {
  const IniForm form = DetectIniForm(bytes);
  // A UTF-8 file the code page reads alike is the code page's own (code page 65001).
  return form == IniForm::kUtf8Plain && codePage_.FromAnsi(bytes) == bytes ? IniForm::kAnsi : form;
}

void IniFile::Know(const std::string& bytes) {
  formKnown_ = true;
  form_ = FormOf(bytes);
  fromMemory_ = ReadInMemory(form_);
  if (fromMemory_) memory_.Use(IniText(codePage_, bytes, form_));
}

void IniFile::KnowForm() {
  if (formKnown_) return;
  Know(store_.ReadFileBytes(path_).value_or(std::string()));
}

IniForm IniFile::Form() {
  KnowForm();
  return form_;
}

int IniFile::IniReadInt(const std::string& section, const std::string& key, int def) {
  KnowForm();
  if (!fromMemory_) return store_.ReadInt(path_, section, key, def);
  const std::optional<std::string> value = memory_.LookUp(section, key);
  return value && !value->empty() ? ParseProfileInt(*value) : def;
}

std::string IniFile::IniReadString(const std::string& section, const std::string& key,
                                   const std::string& def) {
  KnowForm();
  std::string value = fromMemory_ ? memory_.LookUp(section, key).value_or(def)
                                  : store_.ReadString(path_, section, key, def);
  if (const std::size_t nul = value.find('\0'); nul != std::string::npos) value.resize(nul);
  return CutToAnsiBytes(codePage_, value, kMaxValueBytes);
}

bool IniFile::IniWriteString(const std::string& section, const std::string& key, const std::string& value) {
  return WriteRecord(section, {{key, value}});
}

bool IniFile::WriteRecord(const std::string& section, const std::vector<IniValue>& values) {
  if (!Settle()) return false;
  // The form on disk, not the one last seen: the file may have been replaced or re-saved meanwhile.
  const std::optional<std::string> bytes = store_.ReadFileBytes(path_);
  if (!bytes) return false;  // never write over a file that could not be read
  Know(*bytes);
  std::vector<IniValue> lines;
  bool fits = Fits(section);
  for (const IniValue& v : values) {
    lines.push_back({v.key, LineBreaksAsBlanks(v.value)});
    fits = fits && Fits(v.key) && Fits(lines.back().value);
  }
  if (!Prepare(*bytes, fits)) return false;
  formKnown_ = false;
  bool written = true;
  for (const IniValue& v : lines) written = store_.WriteString(path_, section, v.key, v.value) && written;
  return written;
}

bool IniFile::Prepare(const std::string& bytes, bool fits) {
  if (form_ == IniForm::kUnknown) return fits;  // the service takes it as ANSI; it is never rewritten
  if (form_ == IniForm::kUtf16 || (form_ == IniForm::kAnsi && fits)) return true;
  IniForm to = IniForm::kUtf16;
  const std::string rewritten = RewrittenFile(codePage_, bytes, form_, !fits, to);
  switch (RewriteInPlace(store_, path_, bytes, rewritten)) {
    case RewriteResult::kDone:
      form_ = to;
      return true;
    case RewriteResult::kPending:
      pending_ = true;
      side_ = rewritten;
      formKnown_ = true;
      form_ = to;
      fromMemory_ = true;
      memory_.Use(IniText(codePage_, rewritten, to));
      return false;
    case RewriteResult::kUnchanged:
      break;
  }
  return false;
}

bool IniFile::Settle() {
  if (!pending_) return true;
  if (!SettleSideFiles(store_, path_, side_)) return false;
  pending_ = false;
  side_.reset();
  formKnown_ = false;
  return true;
}

void IniFile::FinishInterruptedRewrite() {
  side_.reset();
  pending_ = !SettleSideFiles(store_, path_, side_);
  formKnown_ = false;
  if (!pending_) side_.reset();
  // The original may be torn: the whole side file is what the file should hold.
  if (pending_ && side_) {
    formKnown_ = true;
    form_ = FormOf(*side_);
    fromMemory_ = true;
    memory_.Use(IniText(codePage_, *side_, form_));
  }
}

}  // namespace kestrova
