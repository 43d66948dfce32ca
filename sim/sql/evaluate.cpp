// Evaluation of a parsed SELECT over the rows of its views: join, filter, group, project.
// Values are texts; the empty text is NULL, as in Oracle, where '' is NULL too.
#include <cstdlib>

#include "sql/sql.h"

namespace sim {
namespace {

const char* const kInvalidColumn = "ORA-00904: invalid column name";
const char* const kAmbiguous = "ORA-00918: column ambiguously defined";

// One row of the joined FROM list: a row of every view, by position.
using JoinedRow = std::vector<const std::vector<std::string>*>;

std::string ResolveColumns(Expr& e, const std::vector<FromItem>& from) {
  for (Expr& a : e.args)
    if (std::string err = ResolveColumns(a, from); !err.empty()) return err;
  if (e.kind != Expr::Column) return "";
  int found = 0;
  for (size_t s = 0; s < from.size(); ++s) {
    if (!e.qualifier.empty() && from[s].alias != e.qualifier) continue;
    const std::vector<std::string>& cols = from[s].table.columns;
    for (size_t c = 0; c < cols.size(); ++c) {
      if (cols[c] != e.text) continue;
      e.source = (int)s;
      e.column = (int)c;
      ++found;
    }
  }
  if (found == 0) return kInvalidColumn;
  return found == 1 ? "" : kAmbiguous;
}

bool HasAggregate(const Expr& e) {
  if (e.kind == Expr::Call && e.text == "MIN") return true;
  for (const Expr& a : e.args)
    if (HasAggregate(a)) return true;
  return false;
}

bool SameColumn(const Expr& a, const Expr& b) {
  return a.kind == Expr::Column && b.kind == Expr::Column && a.source == b.source &&
         a.column == b.column;
}

// In a grouped query every column outside MIN must be one of the GROUP BY columns.
std::string CheckGrouped(const Expr& e, const std::vector<Expr>& groupBy) {
  if (e.kind == Expr::Call && e.text == "MIN") {
    for (const Expr& a : e.args)
      if (HasAggregate(a)) return "ORA-00935: group function is nested too deeply";
    return "";
  }
  if (e.kind == Expr::Column) {
    for (const Expr& g : groupBy)
      if (SameColumn(e, g)) return "";
    return groupBy.empty() ? "ORA-00937: not a single-group group function"
                           : "ORA-00979: not a GROUP BY expression";
  }
  for (const Expr& a : e.args)
    if (std::string err = CheckGrouped(a, groupBy); !err.empty()) return err;
  return "";
}

bool ToNumber(const std::string& text, long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 10);
  return *end == '\0';
}

struct Evaluator {
  std::string error;

  // Evaluates `e` over the rows of one group; outside MIN the first row stands for the group
  // (the grouping checks make every such column equal within it).
  std::string Eval(const Expr& e, const std::vector<JoinedRow>& rows) {
    switch (e.kind) {
      case Expr::Literal:
        return e.text;
      case Expr::Column:
        return rows.empty() ? "" : (*rows[0][e.source])[e.column];
      case Expr::Call:
        break;
    }
    if (e.text == "MIN") {
      // NULLs are skipped; strings compare by their bytes.
      std::string least;
      for (const JoinedRow& r : rows) {
        std::string v = Eval(e.args[0], {r});
        if (!v.empty() && (least.empty() || v < least)) least = v;
      }
      return least;
    }
    std::vector<std::string> args;
    for (const Expr& a : e.args) args.push_back(Eval(a, rows));
    if (e.text == "UPPER") {
      for (char& c : args[0])
        if (c >= 'a' && c <= 'z') c = (char)(c - 'a' + 'A');
      return args[0];
    }
    return Substr(args);
  }

  // SUBSTR(s, start[, length]): 1-based; 0 counts as 1; a negative start counts from the end.
  std::string Substr(const std::vector<std::string>& args) {
    long start = 0, length = 0;
    if (args[0].empty() || args[1].empty() || (args.size() > 2 && args[2].empty())) return "";
    if (!ToNumber(args[1], start) || (args.size() > 2 && !ToNumber(args[2], length))) {
      error = "ORA-01722: invalid number";
      return "";
    }
    long size = (long)args[0].size();
    if (start == 0) start = 1;
    if (start < 0) start += size + 1;
    if (start < 1 || start > size) return "";
    if (args.size() < 3) length = size;
    if (length < 1) return "";
    return args[0].substr(start - 1, length);
  }

  // A comparison with NULL is never true; without NOT, "unknown" may be treated as false.
  bool Test(const Condition& c, const JoinedRow& row) {
    switch (c.kind) {
      case Condition::Compare: {
        std::string l = Eval(c.left, {row}), r = Eval(c.right, {row});
        if (l.empty() || r.empty()) return false;
        return c.op == "=" ? l == r : l != r;
      }
      case Condition::And:
        for (const Condition& p : c.parts)
          if (!Test(p, row)) return false;
        return true;
      case Condition::Or:
        for (const Condition& p : c.parts)
          if (Test(p, row)) return true;
        return false;
    }
    return false;
  }
};

std::string ResolveCondition(Condition& c, const std::vector<FromItem>& from) {
  if (c.kind != Condition::Compare) {
    for (Condition& p : c.parts)
      if (std::string err = ResolveCondition(p, from); !err.empty()) return err;
    return "";
  }
  if (HasAggregate(c.left) || HasAggregate(c.right))
    return "ORA-00934: group function is not allowed here";
  if (std::string err = ResolveColumns(c.left, from); !err.empty()) return err;
  return ResolveColumns(c.right, from);
}

std::vector<JoinedRow> JoinAll(const std::vector<FromItem>& from) {
  std::vector<JoinedRow> joined{JoinedRow{}};
  for (const FromItem& f : from) {
    std::vector<JoinedRow> next;
    for (const JoinedRow& partial : joined)
      for (const std::vector<std::string>& row : f.table.rows) {
        next.push_back(partial);
        next.back().push_back(&row);
      }
    joined = std::move(next);
  }
  return joined;
}

}  // namespace

std::string EvaluateSelect(const std::string& sql, const ViewReader& read, Table& out) {
  out = Table{};
  Select s;
  if (std::string err = ParseSelect(sql, s); !err.empty()) return err;

  // 1. The views, each read once even when joined with itself.
  for (size_t i = 0; i < s.from.size(); ++i) {
    size_t same = 0;
    while (same < i && s.from[same].view != s.from[i].view) ++same;
    if (same < i) {
      s.from[i].table = s.from[same].table;
    } else if (std::string err = read(s.from[i].view, s.from[i].table); !err.empty()) {
      return err;
    }
  }

  // 2. Every column name, against the views' columns.
  bool grouped = !s.groupBy.empty();
  for (SelectItem& item : s.items) {
    if (std::string err = ResolveColumns(item.expr, s.from); !err.empty()) return err;
    grouped = grouped || HasAggregate(item.expr);
  }
  if (s.hasWhere)
    if (std::string err = ResolveCondition(s.where, s.from); !err.empty()) return err;
  for (Expr& g : s.groupBy) {
    if (HasAggregate(g)) return "ORA-00934: group function is not allowed here";
    if (std::string err = ResolveColumns(g, s.from); !err.empty()) return err;
  }
  if (grouped)
    for (const SelectItem& item : s.items)
      if (std::string err = CheckGrouped(item.expr, s.groupBy); !err.empty()) return err;

  // 3. Join and filter.
  Evaluator ev;
  std::vector<JoinedRow> kept;
  for (const JoinedRow& row : JoinAll(s.from))
    if (!s.hasWhere || ev.Test(s.where, row)) kept.push_back(row);
  if (!ev.error.empty()) return ev.error;

  // 4. Groups in the order their first row appears; without GROUP BY an aggregate query is one
  //    group, which gives one row even when no row qualified.
  std::vector<std::vector<JoinedRow>> groups;
  if (!grouped) {
    for (const JoinedRow& row : kept) groups.push_back({row});
  } else if (s.groupBy.empty()) {
    groups.push_back(kept);
  } else {
    std::vector<std::vector<std::string>> keys;
    for (const JoinedRow& row : kept) {
      std::vector<std::string> key;
      for (const Expr& g : s.groupBy) key.push_back(ev.Eval(g, {row}));
      size_t k = 0;
      while (k < keys.size() && keys[k] != key) ++k;
      if (k == keys.size()) {
        keys.push_back(key);
        groups.emplace_back();
      }
      groups[k].push_back(row);
    }
  }

  // 5. Project.
  for (const SelectItem& item : s.items) out.columns.push_back(item.name);
  for (const std::vector<JoinedRow>& g : groups) {
    std::vector<std::string> values;
    for (const SelectItem& item : s.items) values.push_back(ev.Eval(item.expr, g));
    if (!ev.error.empty()) {
      out = Table{};
      return ev.error;
    }
    out.rows.push_back(std::move(values));
  }
  return "";
}

}  // namespace sim
