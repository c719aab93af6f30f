#ifndef KESTROVA_RESOURCES_ABOUT_INFO_H
#define KESTROVA_RESOURCES_ABOUT_INFO_H
// Who makes the program and where to reach them: the about window's links and
// the legal notice that VERSIONINFO carries. The addresses are on a domain
// reserved for examples until the project has a home of its own.
// Plain #defines only: the resource compiler reads this file too.

#define KESTROVA_LEGAL_COPYRIGHT "Copyright (C) 2026 Kestrova 開発チーム"
#define KESTROVA_MAIL_ADDRESS "kestrova@example.jp"
#define KESTROVA_WEB_ADDRESS "https://www.example.jp/kestrova/"

#endif  // KESTROVA_RESOURCES_ABOUT_INFO_H
