// Tokenizer and recursive-descent parser for the SELECT statements of a dictionary client.
#include <algorithm>
#include <cctype>

#include "sql/sql.h"

namespace sim {
namespace {

const char* const kInvalidStatement = "ORA-00900: invalid SQL statement";
const char* const kNotEnded = "ORA-00933: SQL command not properly ended";
const char* const kMissingExpression = "ORA-00936: missing expression";
const char* const kNoFrom = "ORA-00923: FROM keyword not found where expected";
const char* const kNoTable = "ORA-00903: invalid table name";
const char* const kNoRightParen = "ORA-00907: missing right parenthesis";
const char* const kBadOperator = "ORA-00920: invalid relational operator";
const char* const kUnterminated = "ORA-01756: quoted string not properly terminated";
const char* const kBadCharacter = "ORA-00911: invalid character";
const char* const kBadFunction = "ORA-00904: invalid column name";

struct Token {
  enum Kind { Word, Quoted, String, Number, Symbol, End } kind = End;
  std::string text;  // Word: upper-cased; Quoted/String: as written, without the quotes
};

std::string Upper(std::string s) {
  for (char& c : s) c = (char)std::toupper((unsigned char)c);
  return s;
}

bool IsWordChar(char c) {
  return std::isalnum((unsigned char)c) || c == '_' || c == '$' || c == '#';
}

std::string Tokenize(const std::string& sql, std::vector<Token>& out) {
  size_t i = 0;
  while (i < sql.size()) {
    char c = sql[i];
    if (std::isspace((unsigned char)c)) {
      ++i;
    } else if (std::isalpha((unsigned char)c)) {
      size_t j = i;
      while (j < sql.size() && IsWordChar(sql[j])) ++j;
      out.push_back({Token::Word, Upper(sql.substr(i, j - i))});
      i = j;
    } else if (std::isdigit((unsigned char)c) ||
               (c == '-' && i + 1 < sql.size() && std::isdigit((unsigned char)sql[i + 1]))) {
      size_t j = i + 1;
      while (j < sql.size() && std::isdigit((unsigned char)sql[j])) ++j;
      out.push_back({Token::Number, sql.substr(i, j - i)});
      i = j;
    } else if (c == '\'') {
      // '' inside a literal is one quote.
      std::string text;
      size_t j = i + 1;
      for (;;) {
        if (j >= sql.size()) return kUnterminated;
        if (sql[j] == '\'') {
          if (j + 1 < sql.size() && sql[j + 1] == '\'') { text += '\''; j += 2; continue; }
          break;
        }
        text += sql[j++];
      }
      out.push_back({Token::String, text});
      i = j + 1;
    } else if (c == '"') {
      size_t j = sql.find('"', i + 1);
      if (j == std::string::npos || j == i + 1) return "ORA-01740: missing double quote in identifier";
      out.push_back({Token::Quoted, sql.substr(i + 1, j - i - 1)});
      i = j + 1;
    } else if ((c == '!' || c == '<') && i + 1 < sql.size() && sql[i + 1] == (c == '!' ? '=' : '>')) {
      out.push_back({Token::Symbol, "!="});
      i += 2;
    } else if (c == ',' || c == '.' || c == '(' || c == ')' || c == '=' || c == '*') {
      out.push_back({Token::Symbol, std::string(1, c)});
      ++i;
    } else {
      return kBadCharacter;
    }
  }
  out.push_back({Token::End, ""});
  return "";
}

// Words that end an expression list or a FROM item, so they cannot be aliases.
bool IsReserved(const Token& t) {
  if (t.kind != Token::Word) return false;
  for (const char* w : {"SELECT", "FROM", "WHERE", "GROUP", "BY", "AND", "OR", "AS", "ORDER"})
    if (t.text == w) return true;
  return false;
}

struct Parser {
  std::vector<Token> tokens;
  size_t pos = 0;

  // The last token is End, which is never passed.
  const Token& Peek() const { return tokens[std::min(pos, tokens.size() - 1)]; }
  bool IsWord(const char* w) const { return Peek().kind == Token::Word && Peek().text == w; }
  bool IsSymbol(const char* s) const { return Peek().kind == Token::Symbol && Peek().text == s; }
  bool IsName() const {
    const Token& t = Peek();
    return t.kind == Token::Quoted || (t.kind == Token::Word && !IsReserved(t));
  }
  bool Accept(const char* symbol) {
    if (!IsSymbol(symbol)) return false;
    ++pos;
    return true;
  }

  std::string ParseExpr(Expr& e) {
    const Token& t = Peek();
    if (t.kind == Token::String || t.kind == Token::Number) {
      e.kind = Expr::Literal;
      e.text = t.text;
      ++pos;
      return "";
    }
    if (!IsName()) return kMissingExpression;
    std::string first = Peek().text;
    ++pos;
    if (Accept("(")) {
      e.kind = Expr::Call;
      e.text = first;
      if (first != "MIN" && first != "SUBSTR" && first != "UPPER") return kBadFunction;
      do {
        e.args.emplace_back();
        if (std::string err = ParseExpr(e.args.back()); !err.empty()) return err;
      } while (Accept(","));
      if (!Accept(")")) return kNoRightParen;
      size_t n = e.args.size();
      if (first == "SUBSTR" ? n != 2 && n != 3 : n != 1) return "ORA-00909: invalid number of arguments";
      return "";
    }
    e.kind = Expr::Column;
    e.text = first;
    if (Accept(".")) {
      if (!IsName()) return kMissingExpression;
      e.qualifier = first;
      e.text = Peek().text;
      ++pos;
    }
    return "";
  }

  std::string ParseComparison(Condition& c) {
    if (Accept("(")) {
      if (std::string err = ParseOr(c); !err.empty()) return err;
      return Accept(")") ? "" : kNoRightParen;
    }
    c.kind = Condition::Compare;
    if (std::string err = ParseExpr(c.left); !err.empty()) return err;
    if (!IsSymbol("=") && !IsSymbol("!=")) return kBadOperator;
    c.op = Peek().text;
    ++pos;
    return ParseExpr(c.right);
  }

  // Builds one level of AND or OR; a single operand stays as it is.
  std::string ParseChain(Condition& c, Condition::Kind kind, const char* word,
                         std::string (Parser::*operand)(Condition&)) {
    Condition first;
    if (std::string err = (this->*operand)(first); !err.empty()) return err;
    if (!IsWord(word)) {
      c = std::move(first);
      return "";
    }
    c.kind = kind;
    c.parts.push_back(std::move(first));
    while (IsWord(word)) {
      ++pos;
      c.parts.emplace_back();
      if (std::string err = (this->*operand)(c.parts.back()); !err.empty()) return err;
    }
    return "";
  }
  std::string ParseAnd(Condition& c) {
    return ParseChain(c, Condition::And, "AND", &Parser::ParseComparison);
  }
  std::string ParseOr(Condition& c) { return ParseChain(c, Condition::Or, "OR", &Parser::ParseAnd); }

  // A select-list item: an expression, then an optional alias (AS optional, quoted kept as is).
  std::string ParseItem(SelectItem& item) {
    size_t start = pos;
    if (std::string err = ParseExpr(item.expr); !err.empty()) return err;
    if (IsWord("AS")) {
      ++pos;
      if (!IsName()) return kNoFrom;
    }
    if (IsName()) {
      item.name = Peek().text;
      ++pos;
      return "";
    }
    if (item.expr.kind == Expr::Column) {
      item.name = item.expr.text;
      return "";
    }
    // Oracle names an unaliased expression after its text, upper-cased, without blanks.
    for (size_t i = start; i < pos; ++i) {
      const Token& t = tokens[i];
      item.name += t.kind == Token::String ? "'" + Upper(t.text) + "'" : Upper(t.text);
    }
    return "";
  }

  std::string ParseFromItem(FromItem& f) {
    if (!IsName()) return kNoTable;
    std::string name = Peek().text;
    ++pos;
    if (Accept(".")) {
      // Only SYS owns the dictionary views.
      if (name != "SYS") return "ORA-00942: table or view does not exist";
      if (!IsName()) return kNoTable;
      name = Peek().text;
      ++pos;
    }
    f.alias = name;
    std::string view;
    for (char c : name) view += (char)std::tolower((unsigned char)c);
    if (view.rfind("v$", 0) == 0) view = "v_$" + view.substr(2);
    f.view = view;
    if (IsName()) {
      f.alias = Peek().text;
      ++pos;
    }
    return "";
  }

  std::string ParseStatement(Select& s) {
    if (!IsWord("SELECT")) return kInvalidStatement;
    ++pos;
    do {
      s.items.emplace_back();
      if (std::string err = ParseItem(s.items.back()); !err.empty()) return err;
    } while (Accept(","));
    if (!IsWord("FROM")) return kNoFrom;
    ++pos;
    do {
      s.from.emplace_back();
      if (std::string err = ParseFromItem(s.from.back()); !err.empty()) return err;
    } while (Accept(","));
    if (IsWord("WHERE")) {
      ++pos;
      s.hasWhere = true;
      if (std::string err = ParseOr(s.where); !err.empty()) return err;
    }
    if (IsWord("GROUP")) {
      ++pos;
      if (!IsWord("BY")) return "ORA-00924: missing BY keyword";
      ++pos;
      do {
        s.groupBy.emplace_back();
        if (std::string err = ParseExpr(s.groupBy.back()); !err.empty()) return err;
      } while (Accept(","));
    }
    return Peek().kind == Token::End ? "" : kNotEnded;
  }
};

}  // namespace

std::string ParseSelect(const std::string& sql, Select& out) {
  Parser p;
  if (std::string err = Tokenize(sql, p.tokens); !err.empty()) {
    // A statement that does not start with SELECT is refused before its text is read.
    if (p.tokens.empty() || p.tokens[0].kind != Token::Word || p.tokens[0].text != "SELECT")
      return kInvalidStatement;
    return err;
  }
  return p.ParseStatement(out);
}

}  // namespace sim
