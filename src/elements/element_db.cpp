// SPDX-License-Identifier: GPL-3.0-or-later
#include "elements/element_db.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>

#include "formats/text_rules.h"

namespace durnix {

namespace {

FieldValue valueOf(sqlite3_stmt* statement, int column) {
  FieldValue v;
  switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
      break;
    case SQLITE_INTEGER:
      v.present = true;
      v.number = static_cast<double>(sqlite3_column_int64(statement, column));
      v.text = std::to_string(sqlite3_column_int64(statement, column));
      break;
    case SQLITE_FLOAT:
      v.present = true;
      v.number = sqlite3_column_double(statement, column);
      v.text = DecimalText(v.number);
      break;
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
      v.text = text != nullptr ? text : "";
      v.present = !v.text.empty();
      v.number = NumericPrefix(v.text);
      break;
    }
  }
  return v;
}

std::string quoted(const std::string& table) {
  return "\"" + table + "\"";
}

}  // namespace

std::unique_ptr<ElementDatabase> ElementDatabase::Open(const std::string& path,
                                                       std::string& problem) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    problem = "The element database " + path + " cannot be opened !!";
    return nullptr;
  }
  std::unique_ptr<ElementDatabase> database(new ElementDatabase(db));
  for (const char* table : kTables) {
    sqlite3_stmt* statement = nullptr;
    const std::string sql = "SELECT * FROM " + quoted(table) + " LIMIT 1";
    const bool ok = sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK;
    sqlite3_finalize(statement);
    if (!ok) {
      problem = "The element database " + path + " has no table \"" + table + "\" !!";
      return nullptr;
    }
  }
  return database;
}

ElementDatabase::~ElementDatabase() {
  sqlite3_close(db_);
}

std::vector<FieldRow> ElementDatabase::query(const std::string& sql, int z) const {
  std::vector<FieldRow> rows;
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) return rows;
  if (z > 0) sqlite3_bind_int(statement, 1, z);
  while (sqlite3_step(statement) == SQLITE_ROW) {
    FieldRow row;
    const int columns = sqlite3_column_count(statement);
    for (int c = 0; c < columns; ++c) row.push_back(valueOf(statement, c));
    rows.push_back(std::move(row));
  }
  sqlite3_finalize(statement);
  return rows;
}

namespace {

std::optional<FieldRow> first(std::vector<FieldRow> rows) {
  if (rows.empty()) return std::nullopt;
  return std::move(rows.front());
}

}  // namespace

std::optional<FieldRow> ElementDatabase::ionData(int z) const {
  return first(query("SELECT * FROM \"Ion Data\" WHERE AtomNum = ?1 LIMIT 1", z));
}
std::optional<FieldRow> ElementDatabase::general(int z) const {
  return first(query("SELECT * FROM \"General\" WHERE Pointer = ?1 LIMIT 1", z));
}
std::optional<FieldRow> ElementDatabase::misc(int z) const {
  return first(query("SELECT * FROM \"Misc\" WHERE Pointer = ?1 LIMIT 1", z));
}
std::optional<FieldRow> ElementDatabase::history(int z) const {
  return first(query("SELECT * FROM \"History\" WHERE Pointer = ?1 LIMIT 1", z));
}
std::vector<FieldRow> ElementDatabase::isotopes(int z) const {
  return query("SELECT * FROM \"Isotope\" WHERE AtomNum = ?1 ORDER BY rowid", z);
}
std::vector<FieldRow> ElementDatabase::xrays(int z) const {
  return query("SELECT * FROM \"Xrays\" WHERE AtomNum = ?1 ORDER BY rowid", z);
}
std::vector<FieldRow> ElementDatabase::ions(int z) const {
  return query("SELECT * FROM \"Ion\" WHERE AtomNum = ?1 ORDER BY rowid", z);
}
std::vector<FieldRow> ElementDatabase::allXrays() const {
  return query("SELECT * FROM \"Xrays\" ORDER BY rowid", 0);
}

std::optional<double> ElementDatabase::xrayEnergy(int z, const std::string& line) const {
  for (const FieldRow& row : xrays(z)) {
    if (row.size() > 2 && row[1].text == line && row[2].present) return row[2].number;
  }
  return std::nullopt;
}

std::vector<std::string> ElementDatabase::fieldNames(const std::string& table) const {
  std::vector<std::string> names;
  sqlite3_stmt* statement = nullptr;
  const std::string sql = "SELECT * FROM " + quoted(table) + " LIMIT 0";
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
    for (int c = 0; c < sqlite3_column_count(statement); ++c) {
      names.emplace_back(sqlite3_column_name(statement, c));
    }
  }
  sqlite3_finalize(statement);
  return names;
}

ElementPanel ClearedPanel() {
  return {"",
          "",
          "",
          {"Nat.Wgt. = ", "MAI Mass=", "MAI Wgt.=", "Density        =", "Atom Dens. =",
           "Heat Subl.    =", "Fermi Vel.    ="}};
}

namespace {

// The number of significant digits of a decimal text ("7.874" 4, "0.0899" 3).
int significantDigits(std::string_view text) {
  int digits = 0;
  bool leading = true;
  for (char c : text) {
    if (c == 'e' || c == 'E') break;
    if (c < '0' || c > '9') continue;
    if (leading && c == '0') continue;
    leading = false;
    ++digits;
  }
  return digits;
}

}  // namespace

std::string SignificantText(double value, int digits) {
  char text[48];
  std::snprintf(text, sizeof text, "%.*g", std::clamp(digits, 1, 17), value);
  return text;
}

ElementPanel PanelTexts(const FieldRow& d, std::optional<double> ka1, std::optional<double> la1) {
  const auto field = [&](std::size_t i) { return i < d.size() ? d[i] : FieldValue(); };
  // A field without value leaves its label alone, without unit.
  const auto with = [&](std::size_t i, const std::string& label, const std::string& bare,
                        const std::string& unit) {
    return field(i).present ? label + field(i).text + unit : bare;
  };
  // The energy as a number text, a blank in place of its sign.
  const auto line = [](const char* label, std::optional<double> energy) {
    return std::string(label) + (energy ? " " + DecimalText(*energy) : "") + " keV";
  };
  // The atom density is worked out from the density: it shows as many digits as the density
  // has, four to six, not those of the arithmetic.
  FieldValue atomDensity = field(6);
  if (atomDensity.present && field(5).present) {
    atomDensity.text =
        SignificantText(atomDensity.number, std::clamp(significantDigits(field(5).text), 4, 6));
  }
  ElementPanel p;
  p.atomNum = field(0).text;
  p.symbol = field(1).text;
  p.name = field(10).text;
  p.props = {with(4, "Nat.Wgt. = ", "Nat.Wgt. = ", ""),
             with(2, "MAI Mass=", "MAI Mass=", ""),
             with(3, "MAI Wgt.=", "MAI Wgt.=", ""),
             with(5, "Density        = ", "Density        =", " g/cm3"),
             atomDensity.present ? "Atom Dens. = " + atomDensity.text + "e22 atom/cm3"
                                 : std::string("Atom Dens. ="),
             line("X-ray (Ka1)    =", ka1),
             line("X-ray (La1)    =", la1)};
  return p;
}

std::string XrayEnergyText(double keV) {
  std::string number = DecimalText(keV);
  if (keV < 1) {
    if (!number.empty() && number[0] == '0') number.erase(0, 1);  // ".705"
    return "  0" + number;
  }
  if (keV < 10) return "  " + number;
  // 100 itself has three digits: with a blank it would sort before " 99.9".
  if (keV < 100) return " " + number;
  return number;
}

}  // namespace durnix
