#include "form/binding.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fakes/fake_form.h"

namespace kestrova {
namespace {

struct Record {
  std::string pattern = "hh:nn";
  std::uint8_t hide = 1;
  int piece = 2;        // combo index, 1-based in the record
  int position = 1;     // option group
  int interval = 1000;  // milliseconds; the bar moves in tens
};

enum : int { kText1 = 1, kCheck1, kCombo1, kOption0, kOption1, kOption2, kHScroll1 };

constexpr ControlSpec kRows[] = {
    {.id = kText1, .kind = ControlKind::kTextBox},
    {.id = kCheck1, .kind = ControlKind::kCheckBox},
    {.id = kCombo1, .kind = ControlKind::kComboList},
    {.id = kOption0, .kind = ControlKind::kOptionButton, .name = "Option1", .index = 0},
    {.id = kOption1, .kind = ControlKind::kOptionButton, .name = "Option1", .index = 1},
    {.id = kOption2, .kind = ControlKind::kOptionButton, .name = "Option1", .index = 2},
    {.id = kHScroll1, .kind = ControlKind::kHScroll},
};

const Binding<Record> kBindings[] = {
    BindText(kText1, &Record::pattern),
    BindCheck(kCheck1, &Record::hide),
    BindIndex(kCombo1, &Record::piece, 1),
    BindGroup(kOption1, &Record::position),
    BindScroll(
        kHScroll1, &Record::interval, [](int ms) { return ms / 10; }, [](int pos) { return pos * 10; }),
};

class BindingTest : public ::testing::Test {
 protected:
  BindingTest() {
    form.SetItems(kCombo1, {"なし", "タイトル", "時計", "世界時計"});
    form.SetRange(kHScroll1, 1, 6553);
  }
  FormModel form{FormSpec{.controls = kRows}};
};

TEST_F(BindingTest, LoadFillsEveryControlAndStoreReadsThemBack) {
  Record saved{"yyyy", 0, 3, 2, 250};
  Load<Record>(kBindings, saved, form);
  EXPECT_EQ(form.Text(kText1), "yyyy");
  EXPECT_EQ(form.Value(kCheck1), 0);
  EXPECT_EQ(form.Value(kCombo1), 2);
  EXPECT_EQ(form.GroupValue(kOption0), 2);
  EXPECT_EQ(form.Value(kHScroll1), 25);

  form.UserText(kText1, "hh");
  form.UserValue(kCheck1, 1);
  form.UserValue(kCombo1, 3);
  form.UserValue(kOption0, 1);
  form.UserValue(kHScroll1, 7);
  Record out;
  Store<Record>(kBindings, form, out);
  EXPECT_EQ(out.pattern, "hh");
  EXPECT_EQ(out.hide, 1);
  EXPECT_EQ(out.piece, 4);
  EXPECT_EQ(out.position, 0);
  EXPECT_EQ(out.interval, 70);
}

// A stored value the control cannot show opens the window with the nearest
// value; the record keeps its value until a Store writes the shown one back.
TEST_F(BindingTest, OutOfRangeValuesShowTheNearestAndAreWrittenBackOnlyByStore) {
  struct Case {
    const char* what;
    Record stored;
    Record written;
  };
  const Case cases[] = {
      {"combo past its list", {"p", 1, 9, 1, 1000}, {"p", 1, 4, 1, 1000}},
      {"combo below its list", {"p", 1, -5, 1, 1000}, {"p", 1, 1, 1, 1000}},
      {"option past the group", {"p", 1, 2, 7, 1000}, {"p", 1, 2, 2, 1000}},
      {"negative option", {"p", 1, 2, -1, 1000}, {"p", 1, 2, 0, 1000}},
      {"interval below the bar", {"p", 1, 2, 1, 0}, {"p", 1, 2, 1, 10}},
      {"interval past the bar", {"p", 1, 2, 1, 900000}, {"p", 1, 2, 1, 65530}},
      {"greyed check box kept", {"p", 2, 2, 1, 1000}, {"p", 2, 2, 1, 1000}},
      {"check box past greyed", {"p", 5, 2, 1, 1000}, {"p", 2, 2, 1, 1000}},
  };
  for (const Case& c : cases) {
    Record record = c.stored;
    Load<Record>(kBindings, record, form);
    EXPECT_EQ(record.piece, c.stored.piece) << c.what << ": loading leaves the record";
    EXPECT_EQ(record.position, c.stored.position) << c.what;
    EXPECT_EQ(record.interval, c.stored.interval) << c.what;
    EXPECT_EQ(record.hide, c.stored.hide) << c.what;
    Store<Record>(kBindings, form, record);
    EXPECT_EQ(record.pattern, c.written.pattern) << c.what;
    EXPECT_EQ(record.hide, c.written.hide) << c.what;
    EXPECT_EQ(record.piece, c.written.piece) << c.what;
    EXPECT_EQ(record.position, c.written.position) << c.what;
    EXPECT_EQ(record.interval, c.written.interval) << c.what;
  }
}

TEST_F(BindingTest, PreviewFillsAScratchCopyAndLeavesTheSavedRecord) {
  const Record saved;
  Load<Record>(kBindings, saved, form);
  std::vector<std::string> changes;
  form.OnChange(kText1, [&](Cause) {
    Record scratch = saved;
    Store<Record>(kBindings, form, scratch);
    changes.push_back(scratch.pattern);
  });
  form.UserText(kText1, "hh:nn:ss");
  EXPECT_EQ(changes, (std::vector<std::string>{"hh:nn:ss"}));
}

}  // namespace
}  // namespace kestrova
