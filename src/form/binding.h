#pragma once
// One row per control that edits a field of a record (Settings, an alarm
// entry, a rule...). Loading the controls, OK/Apply and the preview all walk
// the same rows:
//
//   const Binding<Settings> rows[] = {
//       BindCheck(kCheck1, &Settings::Hide),
//       BindText(kText1, &Settings::FormatText),
//       BindIndex(kCombo1, &Settings::LeftText),
//       BindGroup(kOption1First, &Settings::MessagePosition),
//       BindScroll(kHScroll1, &Settings::Interval, [](int v) { return v / 10; },
//                  [](int pos) { return pos * 10; }),
//   };
//   Load(rows, settings, form);   // opening the window
//   Store(rows, form, settings);  // OK / Apply
//   Settings scratch = settings; Store(rows, form, scratch);  // the preview
//
// Load never writes the record: a stored value a control cannot show opens
// the window with the nearest value shown, and only a Store writes it back.
#include <functional>
#include <span>
#include <string>

#include "form/form.h"

namespace kestrova {

template <typename Record>
struct Binding {
  int control = 0;
  std::function<void(const Record&, FormModel&)> load;
  std::function<void(const FormModel&, Record&)> store;
};

template <typename Record>
void Load(std::span<const Binding<Record>> rows, const Record& record, FormModel& form) {
  for (const Binding<Record>& row : rows) row.load(record, form);
}

template <typename Record>
void Store(std::span<const Binding<Record>> rows, const FormModel& form, Record& record) {
  for (const Binding<Record>& row : rows) row.store(form, record);
}

// A control's value <-> a number field, through `toControl` and `fromControl`.
template <typename Record, typename Field, typename To, typename From>
Binding<Record> BindValue(int id, Field Record::*field, To toControl, From fromControl) {
  return {id, [=](const Record& r, FormModel& f) { f.SetValue(id, toControl(static_cast<int>(r.*field))); },
          [=](const FormModel& f, Record& r) { r.*field = static_cast<Field>(fromControl(f.Value(id))); }};
}

// Check box <-> 0/1/2 (a greyed 2 stays 2).
template <typename Record, typename Field>
Binding<Record> BindCheck(int id, Field Record::*field) {
  return BindValue(
      id, field, [](int v) { return v; }, [](int v) { return v; });
}

// List index <-> field - offset (e.g. offset 1 for a 1-based stored number).
template <typename Record, typename Field>
Binding<Record> BindIndex(int id, Field Record::*field, int offset = 0) {
  return BindValue(
      id, field, [offset](int v) { return v - offset; }, [offset](int i) { return i + offset; });
}

// Scroll position <-> field through a transform each way.
template <typename Record, typename Field, typename To, typename From>
Binding<Record> BindScroll(int id, Field Record::*field, To toPosition, From fromPosition) {
  return BindValue(id, field, toPosition, fromPosition);
}

// Option group (any member's id) <-> the index of the member that is set.
template <typename Record, typename Field>
Binding<Record> BindGroup(int memberId, Field Record::*field) {
  return {memberId,
          [=](const Record& r, FormModel& f) { f.SetGroupValue(memberId, static_cast<int>(r.*field)); },
          [=](const FormModel& f, Record& r) {
            const int index = f.GroupValue(memberId);
            if (index >= 0) r.*field = static_cast<Field>(index);
          }};
}

// Text box <-> a string field.
template <typename Record>
Binding<Record> BindText(int id, std::string Record::*field) {
  return {id, [=](const Record& r, FormModel& f) { f.SetText(id, r.*field); },
          [=](const FormModel& f, Record& r) { r.*field = f.Text(id); }};
}

}  // namespace kestrova
