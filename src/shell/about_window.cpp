#include "shell/about_window.h"

#include "platform/prompts.h"
#include "platform/shell.h"
#include "platform/version_info.h"
#include "resources/about_info.h"
#include "resources/version.h"

namespace kestrova {

namespace {

constexpr unsigned kTitleColor = 0x000080;
constexpr unsigned kShadowColor = 0xA0A0A0;
constexpr unsigned kLinkColor = 0x0000FF;

// The shadow comes first: an earlier row is drawn under a later one.
constexpr ControlSpec kControls[] = {
    {.id = kAboutIcon, .kind = ControlKind::kPicture, .rect = {120, 120, 480, 480}, .flags = kWindowIcon},
    {.id = kAboutTitleShadow,
     .kind = ControlKind::kLabel,
     .name = "Label1",
     .index = 1,
     .rect = {765, 135, 3600, 570},
     .caption = "Kestrova",
     .fontName = "Arial",
     .fontTenthPoints = 240,
     .color = kShadowColor},
    {.id = kAboutTitle,
     .kind = ControlKind::kLabel,
     .name = "Label1",
     .index = 0,
     .rect = {720, 90, 3600, 570},
     .caption = "Kestrova",
     .fontName = "Arial",
     .fontTenthPoints = 240,
     .color = kTitleColor},
    {.id = kAboutShape1,
     .kind = ControlKind::kPicture,
     .name = "Shape1",
     .rect = {720, 735, 3960, 30},
     .color = kTitleColor},
    {.id = kAboutVersion,
     .kind = ControlKind::kLabel,
     .name = "Label2",
     .index = 0,
     .rect = {720, 840, 3960, 255}},
    {.id = kAboutLegal,
     .kind = ControlKind::kLabel,
     .name = "Label2",
     .index = 1,
     .rect = {720, 1110, 3960, 255}},
    {.id = kAboutDescription,
     .kind = ControlKind::kLabel,
     .name = "Label3",
     .index = 0,
     .rect = {120, 1440, 4560, 480},
     .caption = "アクティブなウインドウのタイトルバー部分に日時を表示するプログラムです。"},
    {.id = kAboutMailCaption,
     .kind = ControlKind::kLabel,
     .name = "Label3",
     .index = 2,
     .rect = {240, 2130, 1200, 255},
     .caption = "作者へメール"},
    {.id = kAboutMailLink,
     .kind = ControlKind::kLabel,
     .name = "Label4",
     .index = 1,
     .rect = {1500, 2130, 3060, 255},
     .caption = KESTROVA_MAIL_ADDRESS,
     .flags = kLink,
     .color = kLinkColor},
    {.id = kAboutWebCaption,
     .kind = ControlKind::kLabel,
     .name = "Label3",
     .index = 1,
     .rect = {240, 2430, 1200, 255},
     .caption = "公開HP"},
    {.id = kAboutWebLink,
     .kind = ControlKind::kLabel,
     .name = "Label4",
     .index = 0,
     .rect = {1500, 2430, 3060, 255},
     .caption = KESTROVA_WEB_ADDRESS,
     .flags = kLink,
     .color = kLinkColor},
    {.id = kAboutCommand1,
     .kind = ControlKind::kButton,
     .name = "Command1",
     .rect = {1793, 2940, 1215, 375},
     .caption = "OK",
     .flags = kTabStop | kDefaultButton},
};
constexpr FormSpec kForm{
    .caption = kAboutCaption, .clientWidth = 4800, .clientHeight = 3435, .controls = kControls};

}  // namespace

std::string VersionText(int major, int minor, int revision) {
  return "Ver." + std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(revision);
}

AboutWindow::AboutWindow(Shell& shell, const std::string& versionText, const std::string& legalNotice)
    : shell_(shell),
      form_(kForm),
      mailTag_(std::string("mailto:") + KESTROVA_MAIL_ADDRESS),
      webTag_(KESTROVA_WEB_ADDRESS) {
  form_.SetText(kAboutVersion, versionText);
  form_.SetText(kAboutLegal, legalNotice);
  // Anywhere but on a link, the window's background included, no link is underlined.
  form_.OnMouseMove(0, [this](Cause) { Hover(0); });
  for (const ControlSpec& c : kControls) form_.OnMouseMove(c.id, [this](Cause) { Hover(0); });
  for (const int link : {kAboutMailLink, kAboutWebLink}) {
    form_.OnMouseMove(link, [this, link](Cause) { Hover(link); });
    form_.OnClick(link, [this, link](Cause) { Open(link); });
  }
  form_.OnClick(kAboutCommand1, [this](Cause) { form_.Close(); });
}

void AboutWindow::Hover(int link) {
  // The other link loses its underline too: the two may touch, with no background between.
  form_.SetValue(kAboutMailLink, link == kAboutMailLink ? 1 : 0);
  form_.SetValue(kAboutWebLink, link == kAboutWebLink ? 1 : 0);
}

void AboutWindow::Open(int link) {
  // The shell may run messages while it starts the program: a second click waits its turn.
  if (busy_) return;
  busy_ = true;
  // Nothing to report when no program opens it: the window stays as it was.
  shell_.OpenDocument(0, Tag(link), "");
  busy_ = false;
}

void ShowAbout(Prompts& prompts, Shell& shell, VersionInfo& version) {
  AboutWindow about(shell,
                    VersionText(KESTROVA_VERSION_MAJOR, KESTROVA_VERSION_MINOR, KESTROVA_VERSION_REVISION),
                    version.Text("LegalCopyright"));
  prompts.RunModal(about.Form());
}

}  // namespace kestrova
