// The SQL of the simulated instance: a parser and evaluator for the SELECT statements a
// data-dictionary client sends, over the rows of the views. Errors are Oracle's texts.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "engine/dictionary.h"

namespace sim {

// Reads the rows of one view; `view` is in lower case without owner, v$ written v_$. Returns ""
// or the Oracle error text (ORA-00942 for an unknown view).
using ViewReader = std::function<std::string(const std::string& view, Table& out)>;

// Runs one SELECT. Returns "" and fills `out` (column names as Oracle reports them), or the
// Oracle error text, e.g. "ORA-00918: column ambiguously defined".
std::string EvaluateSelect(const std::string& sql, const ViewReader& read, Table& out);

// The parsed statement. Names of unquoted identifiers are upper-cased while parsing, quoted
// ones kept as written, so that later comparisons are exact.
struct Expr {
  enum Kind { Column, Literal, Call } kind = Literal;
  std::string qualifier;    // Column: the table alias or view name before the dot, or ""
  std::string text;         // Column name, literal value, or function name (upper case)
  std::vector<Expr> args;   // Call arguments
  int source = -1, column = -1;  // Column: where it was found in FROM
};

struct Condition {
  enum Kind { Compare, And, Or } kind = Compare;
  std::string op;                // Compare: "=" or "!="
  Expr left, right;              // Compare
  std::vector<Condition> parts;  // And, Or
};

struct SelectItem {
  Expr expr;
  std::string name;  // the column name of the result
};

struct FromItem {
  std::string view;   // normalised as for ViewReader
  std::string alias;  // upper-cased alias, or the upper-cased view name as written
  Table table;
};

struct Select {
  std::vector<SelectItem> items;
  std::vector<FromItem> from;
  bool hasWhere = false;
  Condition where;
  std::vector<Expr> groupBy;
};

// Parses a statement; returns "" or the Oracle error text (ORA-00900 for anything but a SELECT).
std::string ParseSelect(const std::string& sql, Select& out);

}  // namespace sim
