#pragma once
// The alarm editor's window as data: its controls and their places.
#include "form/form_spec.h"

namespace kestrova {

const FormSpec& AlarmEditorForm();

}  // namespace kestrova
