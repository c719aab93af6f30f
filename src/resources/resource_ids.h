#ifndef KESTROVA_RESOURCES_RESOURCE_IDS_H
#define KESTROVA_RESOURCES_RESOURCE_IDS_H
// Resource numbers shared by the resource script and the C++ code.
// Plain #defines only: the resource compiler reads this file too (hence no #pragma once).

// The program icon. It must stay the lowest-numbered icon group, so that
// ExtractIconEx(..., 0, ...) on Kestrova.exe finds it first.
#define IDI_KESTROVA 1

// The rule editor's target cursor (32 x 32, hot spot 15,15; scripts/make-target-cursor.py).
#define IDC_KESTROVA_TARGET 10

// The numbered string table lives in this range (string N = LoadString(N)).
#define IDS_KESTROVA_FIRST 100
#define IDS_KESTROVA_LAST 999

#endif  // KESTROVA_RESOURCES_RESOURCE_IDS_H
