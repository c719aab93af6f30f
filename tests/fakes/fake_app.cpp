#include "fakes/fake_app.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace kestrova::testing {

namespace {
std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string AsRead(std::string v) {
  while (!v.empty() && v.front() == ' ') v.erase(v.begin());
  while (!v.empty() && v.back() == ' ') v.pop_back();
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
  return v;
}
}  // namespace

std::string MemoryProfileStore::ReadString(const std::string&, const std::string& section, const std::string& key,
                                           const std::string& def) {
  auto it = values.find({Upper(section), Upper(key)});
  return it == values.end() ? def : AsRead(it->second);
}

int MemoryProfileStore::ReadInt(const std::string&, const std::string& section, const std::string& key, int def) {
  auto it = values.find({Upper(section), Upper(key)});
  if (it == values.end() || AsRead(it->second).empty()) return def;
  return std::atoi(AsRead(it->second).c_str());
}

bool MemoryProfileStore::WriteString(const std::string&, const std::string& section, const std::string& key,
                                     const std::string& value) {
  ++writes;
  values[{Upper(section), Upper(key)}] = value;
  return true;
}

std::string MemoryProfileStore::Get(const std::string& section, const std::string& key) const {
  auto it = values.find({Upper(section), Upper(key)});
  return it == values.end() ? std::string() : it->second;
}

bool MemoryProfileStore::Has(const std::string& section, const std::string& key) const {
  return values.count({Upper(section), Upper(key)}) != 0;
}

bool FakeShell::FileExists(const std::string& path) {
  return std::find(existingFiles.begin(), existingFiles.end(), path) != existingFiles.end();
}

}  // namespace kestrova::testing
