#pragma once
// What is decorated right now, kept in a small file beside the program so that
// the next start can give the titles back after a kill or a crash.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/title.h"
#include "platform/files.h"

namespace kestrova {

inline constexpr const char* kTitleRecordName = "Kestrova.titles";

// One decorated window: its own title and one text we wrote for each shape
// the decoration took (a clock only changes its digits, so one text stands for
// every tick of the same shape).
struct DecoratedWindow {
  WindowHandle Handle = 0;
  std::string OwnTitle;
  std::vector<std::string> Written;
  bool operator==(const DecoratedWindow&) const = default;
};

// True when the two texts differ at most in their numbers.
bool SameShape(std::string_view a, std::string_view b);

std::string RecordText(const std::vector<DecoratedWindow>& windows);
// A torn or foreign file yields what can be read of it, never garbage.
std::vector<DecoratedWindow> ParseRecord(std::string_view text);

class TitleRecord {
 public:
  TitleRecord(Files& files, std::string path) : files_(files), path_(std::move(path)) {}

  std::vector<DecoratedWindow> Load();
  // Takes what the title writer holds now; the file is written only when a
  // window, an own title or the shape of a written text is new to it.
  void Update(const LastTarget& last, const std::vector<LastTarget>& pending,
              const std::vector<LastTarget>& unconfirmed);
  void Clear();

  const std::vector<DecoratedWindow>& Held() const { return held_; }

  // Runs after every change, with what is held now.
  std::function<void(const std::vector<DecoratedWindow>&)> onChange;

 private:
  bool Holds(const LastTarget& r) const;
  void Save();

  Files& files_;
  std::string path_;
  std::vector<DecoratedWindow> held_;
};

// Writes each recorded window's own title back where the window still shows a
// text of ours. Returns the give-backs a window did not take in time.
std::vector<LastTarget> RestoreRecordedTitles(WindowSystem& windows,
                                              const std::vector<DecoratedWindow>& recorded);

}  // namespace kestrova
