// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The element database Durnix.mdb (an SQLite file in the program's folder), read only: seven
// tables looked up by atomic number, their fields taken by position.

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace durnix {

// A field's value: empty text when the field holds none.
struct FieldValue {
  bool present = false;
  std::string text;  // integers and texts as they are, reals in their shortest decimal form
  double number = 0;
};
using FieldRow = std::vector<FieldValue>;

class ElementDatabase {
 public:
  static constexpr int kElements = 111;
  static constexpr const char* kFileName = "Durnix.mdb";
  static constexpr const char* kTables[] = {"Ion Data", "General", "Isotope", "Xrays",
                                            "Ion",      "Misc",    "History"};

  // Opens the file and checks that every table is there. Nothing, with `problem` saying why,
  // when the file or a table is missing.
  static std::unique_ptr<ElementDatabase> Open(const std::string& path, std::string& problem);
  ~ElementDatabase();
  ElementDatabase(const ElementDatabase&) = delete;
  ElementDatabase& operator=(const ElementDatabase&) = delete;

  // The first record of "Ion Data", "General", "Misc" or "History" for atomic number z.
  std::optional<FieldRow> ionData(int z) const;
  std::optional<FieldRow> general(int z) const;
  std::optional<FieldRow> misc(int z) const;
  std::optional<FieldRow> history(int z) const;
  // All records of "Isotope", "Xrays" or "Ion" for z, in database order.
  std::vector<FieldRow> isotopes(int z) const;
  std::vector<FieldRow> xrays(int z) const;
  std::vector<FieldRow> ions(int z) const;
  // Every record of "Xrays", first to last.
  std::vector<FieldRow> allXrays() const;
  // The energy (keV) of line `line` ("KA1") of element z.
  std::optional<double> xrayEnergy(int z, const std::string& line) const;
  // The names of the fields of a table, in order (for the element window's labels).
  std::vector<std::string> fieldNames(const std::string& table) const;

 private:
  explicit ElementDatabase(sqlite3* db) : db_(db) {}
  std::vector<FieldRow> query(const std::string& sql, int z) const;

  sqlite3* db_;
};

// The property panel of the periodic table for one element.
struct ElementPanel {
  std::string atomNum, symbol, name;
  std::vector<std::string> props;  // lblProp(0..6)
};

// `value` in `digits` significant digits ("5.901").
std::string SignificantText(double value, int digits);

// The panel for the "Ion Data" record of an element and its KA1 and LA1 energies.
ElementPanel PanelTexts(const FieldRow& ionData, std::optional<double> ka1,
                        std::optional<double> la1);
// The cleared panel.
ElementPanel ClearedPanel();

// An X-ray energy as the X-ray table shows it, so that sorting the texts sorts the energies:
// "  0.705", "  6.404", " 17.479", "115.606".
std::string XrayEnergyText(double keV);

}  // namespace durnix
