#include "tools/tbtfw-check/json_output.h"

#include <array>
#include <cstdio>
#include <sstream>
#include <utility>
#include <vector>

namespace {

// A JSON string: quotes, backslashes and control characters escaped; the bytes above
// 0x7F pass as they are (the lines are UTF-8).
std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 0x20) {
      std::array<char, 8> escape{};
      std::snprintf(escape.data(), escape.size(), "\\u%04x", static_cast<unsigned>(byte));
      quoted += escape.data();
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

}  // namespace

std::string KeyValuesAsJson(const std::string& lines) {
  std::vector<std::pair<std::string, std::vector<std::string>>> fields;
  std::istringstream in(lines);
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = line.substr(0, equals), value = line.substr(equals + 1);
    auto field = fields.begin();
    while (field != fields.end() && field->first != key) ++field;
    if (field == fields.end()) {
      fields.push_back({key, {value}});
    } else {
      field->second.push_back(value);
    }
  }
  std::string json = "{";
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) json += ", ";
    json += Quoted(fields[i].first) + ": ";
    const std::vector<std::string>& values = fields[i].second;
    if (values.size() == 1) {
      json += Quoted(values[0]);
      continue;
    }
    json += "[";
    for (std::size_t j = 0; j < values.size(); ++j) json += (j > 0 ? ", " : "") + Quoted(values[j]);
    json += "]";
  }
  return json + "}\n";
}
