#pragma once
// The payroll product's tables as this program reads and writes them: for each table, its
// columns with their Paradox types and the data version from which each column exists. The
// demo installation and the tests create their tables from here.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "external/paradox/ParadoxTable.h"
#include "external/paradox/ParadoxWriter.h"

namespace nc16::demo {

struct Column {
  const char* name;
  px::FieldType type;
  int size = 0;          // alpha: bytes
  int from_version = 0;  // the column exists from this data version on
};

struct TableSchema {
  const char* file_name;  // as the payroll product names it, e.g. "mSyain.DB"
  std::vector<Column> columns;
  int key_columns = 0;  // the first N columns form the primary key
};

// The schema of a table by its file name (any letter case, with or without ".db"); throws
// std::out_of_range for an unknown table.
const TableSchema& Schema(std::string_view table);

// The tables of one data set (a company's data folder), in a fixed order.
const std::vector<std::string_view>& DataSetTables();

// The Paradox table definition of `table` at data version `version`.
px::TableDef TableDefFor(std::string_view table, int version);

// A record given by column name; columns left out are blank (null). Values of columns that the
// table does not have at the chosen version are ignored.
using Row = std::map<std::string, px::Value, std::less<>>;

// Creates `folder`/<file name> for the version and writes the rows, in one pass.
void WriteTable(const std::string& folder_cp932, std::string_view table, int version,
                const std::vector<Row>& rows);

// A calendar date as the Paradox date value.
px::Value DateValue(int year, int month, int day);

}  // namespace nc16::demo
