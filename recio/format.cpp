#include "recio/format.hpp"

#include <cctype>
#include <unordered_map>

#include "recio/edit.hpp"

namespace recio {

std::string printable(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    return text;
}

namespace {

// ---------------------------------------------------------------- compiling

class Parser {
  public:
    explicit Parser(std::string_view text) : s_(text) {}

    Program run() {
        skip_blanks();
        if (!eat('(')) fail("format must begin with '('");
        std::size_t last_group = 0;
        bool have_group = false;
        parse_list(1, last_group, have_group);
        skip_blanks();
        if (i_ != s_.size()) fail("text after the closing parenthesis");
        prog_.reversion = have_group ? last_group : 0;
        return std::move(prog_);
    }

  private:
    [[noreturn]] void fail(const std::string& why) const {
        throw FormatError("BAD FORMAT " + std::string(s_) + ": " + why);
    }
    void skip_blanks() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t')) ++i_;
    }
    bool eat(char c) {
        skip_blanks();
        if (i_ < s_.size() && std::toupper(static_cast<unsigned char>(s_[i_])) == c) {
            ++i_;
            return true;
        }
        return false;
    }
    int number() {  // digits (blanks between them ignored); -1 when none
        skip_blanks();
        int n = -1;
        while (i_ < s_.size()) {
            char c = s_[i_];
            if (c >= '0' && c <= '9') {
                n = (n < 0 ? 0 : n) * 10 + (c - '0');
                if (n > 1000000) fail("number too large");
            } else if (c != ' ') {
                break;
            }
            ++i_;
        }
        return n;
    }
    void push(Op op) { prog_.ops.push_back(std::move(op)); }

    void parse_list(int depth, std::size_t& last_group, bool& have_group) {
        for (;;) {
            skip_blanks();
            if (i_ >= s_.size()) fail("missing ')'");
            char c = s_[i_];
            if (c == ')') {
                ++i_;
                return;
            }
            if (c == ',') {
                ++i_;
                continue;
            }
            parse_item(depth, last_group, have_group);
        }
    }

    void parse_item(int depth, std::size_t& last_group, bool& have_group) {
        int rep = number();
        skip_blanks();
        if (i_ >= s_.size()) fail("unexpected end");
        char c = static_cast<char>(std::toupper(static_cast<unsigned char>(s_[i_])));
        Op op;
        if (c == '(') {
            ++i_;
            std::size_t begin = prog_.ops.size();
            op.code = Op::Begin;
            op.rep = rep < 0 ? 1 : rep;
            if (op.rep == 0) fail("zero repeat count");
            push(op);
            std::size_t inner_last = 0;
            bool inner_have = false;
            parse_list(depth + 1, inner_last, inner_have);
            Op end;
            end.code = Op::End;
            push(end);
            if (depth == 1) {
                last_group = begin;
                have_group = true;
            }
            return;
        }
        ++i_;
        switch (c) {
            case '\'':
            case '"': {
                if (rep >= 0) fail("repeat count before a literal");
                op.code = Op::Literal;
                for (;;) {
                    if (i_ >= s_.size()) fail("unterminated literal");
                    if (s_[i_] == c) {
                        if (i_ + 1 < s_.size() && s_[i_ + 1] == c) {
                            op.text += c;
                            i_ += 2;
                            continue;
                        }
                        ++i_;
                        break;
                    }
                    op.text += s_[i_++];
                }
                break;
            }
            case 'H':
                if (rep <= 0 || i_ + static_cast<std::size_t>(rep) > s_.size())
                    fail("bad Hollerith text");
                op.code = Op::Literal;
                op.text = std::string(s_.substr(i_, static_cast<std::size_t>(rep)));
                i_ += static_cast<std::size_t>(rep);
                break;
            case '/':
                op.code = Op::Slash;
                op.rep = rep < 0 ? 1 : rep;
                break;
            case ':':
                op.code = Op::Colon;
                break;
            case 'X':
                op.code = Op::Skip;
                op.w = rep < 0 ? 1 : rep;
                break;
            case 'T': {
                op.code = Op::TabTo;
                if (eat('L'))
                    op.code = Op::TabLeft;
                else if (eat('R'))
                    op.code = Op::TabRight;
                op.w = number();
                if (op.w < 0 || (op.code == Op::TabTo && op.w == 0)) fail("T needs a column");
                break;
            }
            case 'I':
            case 'F':
            case 'E':
            case 'D':
            case 'G':
            case 'A':
                op.code = Op::Data;
                op.edit = c;
                op.rep = rep < 0 ? 1 : rep;
                if (op.rep == 0) fail("zero repeat count");
                op.w = number();
                if (c != 'A' && op.w <= 0) fail(std::string("width missing after ") + c);
                if (c == 'I') {
                    if (eat('.')) op.m = number();
                } else if (c != 'A') {
                    if (!eat('.')) fail(std::string("decimals missing after ") + c);
                    op.d = number();
                    if (op.d < 0) fail("decimals missing");
                    if ((c == 'E' || c == 'G') && eat('E')) op.e = number();
                }
                break;
            default:
                fail(std::string("unknown edit descriptor '") + c + "'");
        }
        push(op);
    }

    std::string_view s_;
    std::size_t i_ = 0;
    Program prog_;
};

// Walks the items of an I/O list value by value.
template <class Item>
class Cursor {
  public:
    Cursor(const Item* items, std::size_t n) : items_(items), n_(n) { settle(); }
    bool more() const { return item_ < n_; }
    const Item& item() const { return items_[item_]; }
    std::size_t index() const { return elem_; }
    void advance() {
        ++elem_;
        settle();
    }

  private:
    void settle() {
        while (item_ < n_ && elem_ >= items_[item_].count) {
            ++item_;
            elem_ = 0;
        }
    }
    const Item* items_;
    std::size_t n_;
    std::size_t item_ = 0, elem_ = 0;
};

std::string describe(const Op& op) {
    std::string s(1, op.edit);
    if (op.w >= 0) s += std::to_string(op.w);
    if (op.d >= 0) s += "." + std::to_string(op.d);
    return s;
}

// Drives the ops of a program: groups, repeats, reversion and termination.
// The handler does the work of each data descriptor and positioning op.
template <class Handler>
void run_program(const Program& prog, Handler& h) {
    struct Frame {
        std::size_t begin;
        int left;
    };
    std::vector<Frame> stack;
    bool data_since_reversion = false;
    std::size_t i = 0;
    const auto& ops = prog.ops;
    for (;;) {
        if (i == ops.size()) {
            if (!h.more()) return;
            if (!data_since_reversion)
                throw FormatError("FORMAT HAS NO DATA DESCRIPTOR FOR THE ITEMS");
            h.next_record();
            i = prog.reversion;
            data_since_reversion = false;
            stack.clear();
            continue;
        }
        const Op& op = ops[i];
        switch (op.code) {
            case Op::Begin:
                stack.push_back({i, op.rep});
                ++i;
                break;
            case Op::End:
                if (--stack.back().left > 0) {
                    i = stack.back().begin + 1;
                } else {
                    stack.pop_back();
                    ++i;
                }
                break;
            case Op::Data:
                for (int k = 0; k < op.rep; ++k) {
                    if (!h.more()) return;
                    h.data(op);
                    data_since_reversion = true;
                }
                ++i;
                break;
            case Op::Colon:
                if (!h.more()) return;
                ++i;
                break;
            case Op::Slash:
                for (int k = 0; k < op.rep; ++k) h.next_record();
                ++i;
                break;
            default:
                h.position(op);
                ++i;
                break;
        }
    }
}

// ---------------------------------------------------------------- output

class Writer {
  public:
    Writer(const OutItem* items, std::size_t n) : cur_(items, n) {}
    bool more() const { return cur_.more(); }

    void next_record() {
        records.push_back(line_);
        line_.clear();
        pos_ = 0;
    }
    void position(const Op& op) {
        switch (op.code) {
            case Op::Literal:
                put(op.text);
                break;
            case Op::Skip:
            case Op::TabRight:
                pos_ += static_cast<std::size_t>(op.w);
                break;
            case Op::TabTo:
                pos_ = static_cast<std::size_t>(op.w - 1);
                break;
            case Op::TabLeft:
                pos_ = pos_ > static_cast<std::size_t>(op.w) ? pos_ - static_cast<std::size_t>(op.w)
                                                             : 0;
                break;
            default:
                break;
        }
    }
    void data(const Op& op) {
        const OutItem& it = cur_.item();
        std::size_t k = cur_.index();
        put(render(op, it, k));
        cur_.advance();
    }
    std::vector<std::string> finish() {
        next_record();
        return std::move(records);
    }

    std::vector<std::string> records;

  private:
    static std::string render(const Op& op, const OutItem& it, std::size_t k) {
        bool is_real = it.kind == Kind::F32 || it.kind == Kind::F64;
        bool is_text = it.kind == Kind::Text;
        switch (op.edit) {
            case 'I':
                if (is_real || is_text) break;
                return edit::int_field(int_at(it, k), op.w, op.m);
            case 'F':
                if (!is_real) break;
                return edit::fixed_field(real_at(it, k), op.w, op.d);
            case 'E':
            case 'D':
                if (!is_real) break;
                return edit::exp_field(real_at(it, k), op.w, op.d, op.e);
            case 'G':
                if (is_text) return edit::text_field(it.text, op.w);
                if (!is_real) return edit::int_field(int_at(it, k), op.w);
                if (it.kind == Kind::F32)
                    return edit::general_field(static_cast<float>(real_at(it, k)), op.w, op.d,
                                               op.e);
                return edit::general_field(real_at(it, k), op.w, op.d, op.e);
            case 'A':
                if (!is_text) break;
                return edit::text_field(it.text, op.w);
        }
        throw FormatError("ITEM DOES NOT MATCH EDIT DESCRIPTOR " + describe(op));
    }
    void put(const std::string& s) {
        if (line_.size() < pos_) line_.resize(pos_, ' ');
        line_.replace(pos_, std::min(s.size(), line_.size() - pos_), s);
        pos_ += s.size();
    }

    Cursor<OutItem> cur_;
    std::string line_;
    std::size_t pos_ = 0;
};

// ---------------------------------------------------------------- input

[[noreturn]] void end_of_file(RecordSource& src) {
    throw_end_of_file(src);
}

template <class T>
void store(const InItem& it, std::size_t k, T value) {
    static_cast<T*>(it.data)[k] = value;
}

// Stores an integer into an item of any integer kind; false if it does not fit.
bool store_int(const InItem& it, std::size_t k, std::int64_t v) {
    if (!edit::fits(it.kind, v)) return false;
    switch (it.kind) {
        case Kind::I8:
            store(it, k, static_cast<std::int8_t>(v));
            break;
        case Kind::I16:
            store(it, k, static_cast<std::int16_t>(v));
            break;
        case Kind::I32:
            store(it, k, static_cast<std::int32_t>(v));
            break;
        case Kind::I64:
            store(it, k, v);
            break;
        default:
            return false;
    }
    return true;
}

void store_text(const InItem& it, std::size_t k, std::string field) {
    std::string& target = static_cast<std::string*>(it.data)[k];
    int len = it.text_length;
    if (len >= 0) {
        if (static_cast<int>(field.size()) >= len)
            field = field.substr(field.size() - static_cast<std::size_t>(len));
        else
            field.append(static_cast<std::size_t>(len) - field.size(), ' ');
    }
    target = std::move(field);
}

// A tab in a fixed-column record: the columns after it are not where they
// look, so the record is refused, naming its file, record and column.
void refuse_tab(const RecordSource& src, const std::string& line) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos || !src.refuses_tabs()) return;
    throw RecordError("TAB IN FILE " + src.source_name() + ", RECORD " +
                      std::to_string(src.record_number()) + ", COLUMN " + std::to_string(tab + 1) +
                      ": FIXED-COLUMN RECORDS TAKE BLANKS, NOT TABS (A TAB SHIFTS THE COLUMNS)");
}

class Reader {
  public:
    Reader(RecordSource& src, const InItem* items, std::size_t n) : src_(src), cur_(items, n) {}
    bool more() const { return cur_.more(); }
    bool start() {
        if (!src_.next_record(line_)) return false;
        refuse_tab(src_, line_);
        return true;
    }

    void next_record() {
        if (!src_.next_record(line_)) end_of_file(src_);
        refuse_tab(src_, line_);
        pos_ = 0;
        field_ = 0;
    }
    void position(const Op& op) {
        switch (op.code) {
            case Op::Literal:
                pos_ += op.text.size();
                break;
            case Op::Skip:
            case Op::TabRight:
                pos_ += static_cast<std::size_t>(op.w);
                break;
            case Op::TabTo:
                pos_ = static_cast<std::size_t>(op.w - 1);
                break;
            case Op::TabLeft:
                pos_ = pos_ > static_cast<std::size_t>(op.w) ? pos_ - static_cast<std::size_t>(op.w)
                                                             : 0;
                break;
            default:
                break;
        }
    }
    void data(const Op& op) {
        const InItem& it = cur_.item();
        std::size_t k = cur_.index();
        int w = op.w;
        if (w < 0)
            w = it.text_length >= 0
                    ? it.text_length
                    : static_cast<int>(line_.size() > pos_ ? line_.size() - pos_ : 0);
        bool is_real = it.kind == Kind::F32 || it.kind == Kind::F64;
        bool is_text = it.kind == Kind::Text;
        char e = op.edit;
        if (e == 'G') e = is_text ? 'A' : is_real ? 'F' : 'I';
        if (e != 'A' && src_.whole_fields() && pos_ + static_cast<std::size_t>(w) > line_.size())
            cut_short(op, w);
        std::string field = take(static_cast<std::size_t>(w));
        ++field_;
        edit::Parse status = edit::Parse::Ok;
        if (e == 'A' && is_text) {
            store_text(it, k, field);
        } else if (e == 'I' && !is_real && !is_text) {
            std::int64_t v = 0;
            status = edit::read_int(field, v);
            if (status == edit::Parse::Ok && !store_int(it, k, v)) status = edit::Parse::Range;
        } else if ((e == 'F' || e == 'E' || e == 'D') && is_real) {
            if (it.kind == Kind::F32)
                status = edit::read_real(field, op.d, static_cast<float*>(it.data)[k]);
            else
                status = edit::read_real(field, op.d, static_cast<double*>(it.data)[k]);
        } else {
            throw FormatError("ITEM DOES NOT MATCH EDIT DESCRIPTOR " + describe(op));
        }
        if (status != edit::Parse::Ok) bad_field(op, w, field, status);
        cur_.advance();
    }

  private:
    std::string take(std::size_t w) {
        std::string f;
        if (pos_ < line_.size()) f = line_.substr(pos_, w);
        f.resize(w, ' ');
        pos_ += w;
        return f;
    }
    std::string where(const Op& op, std::size_t first, std::size_t last, int field) const {
        return " IN FILE " + src_.source_name() + ", RECORD " +
               std::to_string(src_.record_number()) + ", FIELD " + std::to_string(field) +
               " (COLUMNS " + std::to_string(first) + "-" + std::to_string(last) + ", " +
               describe(op) + ")";
    }
    // A numeric field that the record does not reach to its last column.
    [[noreturn]] void cut_short(const Op& op, int w) {
        throw RecordError("RECORD CUT SHORT" +
                          where(op, pos_ + 1, pos_ + static_cast<std::size_t>(w), field_ + 1) +
                          ": THE RECORD ENDS AT COLUMN " + std::to_string(line_.size()));
    }
    [[noreturn]] void bad_field(const Op& op, int w, const std::string& field, edit::Parse status) {
        std::size_t first = pos_ - static_cast<std::size_t>(w) + 1;
        throw RecordError(
            std::string(status == edit::Parse::Range ? "VALUE OUT OF RANGE" : "UNREADABLE VALUE") +
            where(op, first, pos_, field_) + ": \"" + printable(field) + "\"");
    }

    RecordSource& src_;
    Cursor<InItem> cur_;
    std::string line_;
    std::size_t pos_ = 0;
    int field_ = 0;
};

// Splits list-directed input into values: blanks and commas separate, quotes
// delimit texts, a slash ends the read.
class ListScanner {
  public:
    ListScanner(RecordSource& src) : src_(src) {}

    enum Token { Value, Null, Slash, End };
    // The next value, an empty value between two commas, a slash, or the end of the file.
    Token next(std::string& token) {
        for (;;) {
            if (!have_line_) {
                if (!src_.next_record(line_)) return End;
                have_line_ = true;
                pos_ = 0;
                comma_pending_ = false;
            }
            while (pos_ < line_.size() && (line_[pos_] == ' ' || line_[pos_] == '\t')) ++pos_;
            if (pos_ >= line_.size()) {
                have_line_ = false;
                continue;
            }
            char c = line_[pos_];
            if (c == ',') {
                ++pos_;
                if (comma_pending_) return Null;
                comma_pending_ = true;
                continue;
            }
            if (c == '/') return Slash;
            comma_pending_ = false;
            token.clear();
            if (c == '\'' || c == '"') {
                ++pos_;
                while (pos_ < line_.size()) {
                    if (line_[pos_] == c) {
                        if (pos_ + 1 < line_.size() && line_[pos_ + 1] == c) {
                            token += c;
                            pos_ += 2;
                            continue;
                        }
                        ++pos_;
                        break;
                    }
                    token += line_[pos_++];
                }
                quoted_ = true;
                return Value;
            }
            quoted_ = false;
            while (pos_ < line_.size() && line_[pos_] != ' ' && line_[pos_] != '\t' &&
                   line_[pos_] != ',' && line_[pos_] != '/')
                token += line_[pos_++];
            return Value;
        }
    }
    bool quoted() const { return quoted_; }
    RecordSource& source() { return src_; }

  private:
    RecordSource& src_;
    std::string line_;
    std::size_t pos_ = 0;
    bool have_line_ = false, comma_pending_ = false, quoted_ = false;
};

}  // namespace

// ---------------------------------------------------------------- public

const Program& compile(std::string_view format) {
    static std::unordered_map<std::string, Program> cache;
    std::string key(format);
    auto found = cache.find(key);
    if (found != cache.end()) return found->second;
    return cache.emplace(key, Parser(format).run()).first->second;
}

std::vector<std::string> write_items(std::string_view format, const OutItem* items, std::size_t n) {
    const Program& prog = compile(format);
    Writer w(items, n);
    run_program(prog, w);
    return w.finish();
}

std::string list_record(const OutItem* items, std::size_t n) {
    std::string line;
    bool first = true, previous_text = false;
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t k = 0; k < items[i].count; ++k) {
            bool text = items[i].kind == Kind::Text;
            if (first || !(text && previous_text)) line += ' ';
            first = false;
            line += edit::list_value(items[i], k);
            previous_text = text;
        }
    }
    if (first) line = " ";
    return line;
}

bool read_items(std::string_view format, RecordSource& source, const InItem* items, std::size_t n) {
    const Program& prog = compile(format);
    Reader r(source, items, n);
    if (!r.start()) return false;
    run_program(prog, r);
    return true;
}

bool parse_list_value(std::string_view token, const InItem& it, std::size_t k) {
    switch (it.kind) {
        case Kind::Text:
            store_text(it, k, std::string(token));
            return true;
        case Kind::F32:
            return edit::read_real(token, 0, static_cast<float*>(it.data)[k]) == edit::Parse::Ok;
        case Kind::F64:
            return edit::read_real(token, 0, static_cast<double*>(it.data)[k]) == edit::Parse::Ok;
        default: {
            std::int64_t v = 0;
            return edit::read_int(token, v) == edit::Parse::Ok && store_int(it, k, v);
        }
    }
}

bool read_list(RecordSource& source, const InItem* items, std::size_t n) {
    ListScanner scan(source);
    Cursor<InItem> cur(items, n);
    std::string token;
    int repeat = 0;
    std::string repeated;
    bool repeated_null = false;
    int value_no = 0;
    while (cur.more()) {
        std::string value;
        bool null = false;
        if (repeat > 0) {
            --repeat;
            value = repeated;
            null = repeated_null;
        } else {
            ListScanner::Token kind = scan.next(token);
            if (kind == ListScanner::End) {
                if (value_no == 0) return false;  // nothing but blank records before the end
                end_of_file(source);
            }
            if (kind == ListScanner::Slash) return true;
            if (kind == ListScanner::Null) {
                null = true;
            } else {
                value = token;
                std::size_t star = scan.quoted() ? std::string::npos : token.find('*');
                if (star != std::string::npos) {
                    std::int64_t r = 0;
                    if (edit::read_int(token.substr(0, star), r) != edit::Parse::Ok || r <= 0 ||
                        r > 1000000)
                        throw RecordError("UNREADABLE REPEAT COUNT IN FILE " +
                                          source.source_name() + ", RECORD " +
                                          std::to_string(source.record_number()) + ": \"" + token +
                                          "\"");
                    repeated = token.substr(star + 1);
                    repeated_null = repeated.empty();
                    repeat = static_cast<int>(r) - 1;
                    value = repeated;
                    null = repeated_null;
                }
            }
        }
        ++value_no;
        if (!null && !parse_list_value(value, cur.item(), cur.index()))
            throw RecordError("UNREADABLE VALUE IN FILE " + source.source_name() + ", RECORD " +
                              std::to_string(source.record_number()) + ", VALUE " +
                              std::to_string(value_no) + ": \"" + printable(value) + "\"");
        cur.advance();
    }
    return true;
}

void throw_end_of_file(const RecordSource& source) {
    throw RecordError("UNEXPECTED END OF FILE " + source.source_name() + " AFTER RECORD " +
                      std::to_string(source.record_number()));
}

}  // namespace recio
