#pragma once
// The about window (Form3): name with a drop shadow, version, legal notice,
// a description, and two links that open the maker's e-mail and web page.
#include <string>

#include "form/form.h"

namespace kestrova {

class Prompts;
class Shell;
class VersionInfo;

inline constexpr const char* kAboutCaption = "Kestrova-バージョン情報";

enum AboutControl : int {
  kAboutCommand1 = 1,  // OK: the dialog's OK id, so Enter and Esc close the window
  kAboutShape1 = 100,
  kAboutIcon,
  kAboutTitleShadow,  // Label1(1)
  kAboutTitle,        // Label1(0)
  kAboutDescription,  // Label3(0)
  kAboutVersion,      // Label2(0)
  kAboutLegal,        // Label2(1)
  kAboutMailCaption,  // Label3(2)
  kAboutMailLink,     // Label4(1)
  kAboutWebCaption,   // Label3(1)
  kAboutWebLink,      // Label4(0)
};

// "Ver.2.1.11": each number in decimal, no leading zeros.
std::string VersionText(int major, int minor, int revision);

class AboutWindow {
 public:
  AboutWindow(Shell& shell, const std::string& versionText, const std::string& legalNotice);
  // The handlers hold `this`.
  AboutWindow(const AboutWindow&) = delete;
  AboutWindow& operator=(const AboutWindow&) = delete;

  FormModel& Form() { return form_; }
  // What a link opens; it need not be the text it shows.
  const std::string& Tag(int link) const { return link == kAboutMailLink ? mailTag_ : webTag_; }
  bool Busy() const { return busy_; }
  bool Underlined(int link) const { return form_.Value(link) == 1; }

 private:
  void Hover(int link);
  void Open(int link);

  Shell& shell_;
  FormModel form_;
  std::string mailTag_;
  std::string webTag_;
  bool busy_ = false;
};

// Shows the about window modally over the prompts' owner until OK closes it.
void ShowAbout(Prompts& prompts, Shell& shell, VersionInfo& version);

}  // namespace kestrova
