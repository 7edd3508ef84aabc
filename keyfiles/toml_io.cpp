// Keyword files to values and back, and the record-by-record explanation.
#include <toml++/toml.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <set>
#include <sstream>
#include <stdexcept>

#include "keyfiles/keyfiles.hpp"
#include "recio/records.hpp"

namespace keyfiles {
namespace {

std::string upper(std::string s) {
    for (char& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return s;
}

std::string base_name(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The shortest text that reads back as the same 32-bit real, as TOML writes a float.
std::string real_text(double x) {
    const float f = static_cast<float>(x);
    if (std::isnan(f)) return "nan";
    if (std::isinf(f)) return f > 0 ? "inf" : "-inf";
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, f).ptr;
    std::string text(buffer, end);
    if (text.find_first_of(".en") == std::string::npos) text += ".0";
    return text;
}

std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (char ch : s) {
        const auto u = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (u < 0x20 || u == 0x7f) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04X", u);
            out += buffer;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

std::string value_text(const Field& f) {
    if (f.type == Field::Type::Text) return quoted(f.get_text());
    const double x = f.get_number();
    for (const auto& [code, name] : f.names)
        if (static_cast<double>(code) == x) return quoted(name);
    if (f.type == Field::Type::Real) return real_text(x);
    return std::to_string(static_cast<long long>(x));
}

std::string where(const Field& f) {
    return "record " + std::to_string(f.record) + ", columns " + std::to_string(f.first) + "-" +
           std::to_string(f.last);
}

std::string choices(const Field& f) {
    if (f.names.empty()) return "";
    std::string out = " [";
    for (std::size_t k = 0; k < f.names.size(); ++k)
        out += (k ? ", " : "") +
               (f.letters ? std::string(1, static_cast<char>(f.names[k].first))
                          : std::to_string(f.names[k].first)) +
               " = " + f.names[k].second;
    return out + "]";
}

// The sections in the order they first appear, each with its fields.
struct Group {
    std::string section;
    int item = -1;
    std::vector<const Field*> fields;
};
std::vector<Group> groups(const std::vector<Field>& fields) {
    std::vector<Group> out;
    for (const Field& f : fields) {
        auto g = std::find_if(out.begin(), out.end(), [&](const Group& x) {
            return x.section == f.section && x.item == f.item;
        });
        if (g == out.end()) g = out.insert(out.end(), Group{f.section, f.item, {}});
        g->fields.push_back(&f);
    }
    return out;
}

// A one-letter text that stands for a letter code, in either case.
bool is_letter_of(const std::string& text, long code) {
    return text.size() == 1 &&
           std::toupper(static_cast<unsigned char>(text[0])) == static_cast<int>(code);
}

[[noreturn]] void refuse(const std::string& source, const std::string& key,
                         const std::string& why) {
    throw std::runtime_error(source + ": " + key + ": " + why);
}

std::string key_name(const Field& f) {
    return "[" + f.section + (f.item >= 0 ? "#" + std::to_string(f.item + 1) : "") + "] " + f.key;
}

// Sets one field from its TOML node.
void set_field(const Field& f, const toml::node& node, const std::string& source) {
    const std::string key = key_name(f);
    if (f.type == Field::Type::Text) {
        const auto* s = node.as_string();
        if (!s) refuse(source, key, "a text in double quotes is wanted");
        const std::string& text = s->get();
        if (text.size() > f.width)
            refuse(source, key,
                   quoted(text) + " is longer than the " + std::to_string(f.width) +
                       " characters of its field");
        f.set_text(text);
        return;
    }
    double x = 0;
    if (const auto* s = node.as_string()) {
        const auto named = std::find_if(f.names.begin(), f.names.end(), [&](const auto& n) {
            return n.second == s->get() || (f.letters && is_letter_of(s->get(), n.first));
        });
        if (f.names.empty())
            refuse(
                source, key,
                f.type == Field::Type::Integer ? "a whole number is wanted" : "a number is wanted");
        if (named == f.names.end())
            refuse(source, key, quoted(s->get()) + " is none of" + choices(f));
        x = static_cast<double>(named->first);
    } else if (const auto* i = node.as_integer()) {
        x = static_cast<double>(i->get());
    } else if (const auto* d = node.as_floating_point(); d && f.type == Field::Type::Real) {
        x = d->get();
    } else {
        refuse(source, key,
               f.type == Field::Type::Integer ? "a whole number is wanted" : "a number is wanted");
    }
    if (!std::isnan(x) && !std::isinf(x) && (x < f.lowest || x > f.highest)) {
        std::ostringstream range;
        range << f.lowest << " to " << f.highest;
        refuse(source, key, "the value is beyond what the field holds (" + range.str() + ")");
    }
    f.set_number(x);
}

const toml::node* node_of(const toml::table& t, const Field& f) {
    const toml::node* section = t.get(f.section);
    if (!section) return nullptr;
    if (f.item < 0) {
        const toml::table* s = section->as_table();
        return s ? s->get(f.key) : nullptr;
    }
    const toml::array* a = section->as_array();
    if (!a || static_cast<std::size_t>(f.item) >= a->size()) return nullptr;
    const toml::table* s = (*a)[static_cast<std::size_t>(f.item)].as_table();
    return s ? s->get(f.key) : nullptr;
}

// Every key of the keyword file must be a field's: a misspelt name is not passed over.
void refuse_unknown_keys(const toml::table& t, const std::vector<Field>& fields,
                         const std::string& source) {
    std::set<std::string> known;
    for (const Field& f : fields) known.insert(f.section + "." + f.key);
    const auto keys_of = [&](const std::string& section, const toml::table& s) {
        for (const auto& [k, v] : s) {
            (void)v;
            const std::string name = section + "." + std::string(k.str());
            if (!known.count(name))
                refuse(source, "[" + section + "] " + std::string(k.str()),
                       "no such key in a " + std::string(t["file"].value_or("")) +
                           " keyword file (or not for the mode chosen)");
        }
    };
    for (const auto& [k, v] : t) {
        const std::string section(k.str());
        if (section == "file") continue;
        if (const toml::table* s = v.as_table())
            keys_of(section, *s);
        else if (const toml::array* a = v.as_array())
            for (const toml::node& n : *a) {
                if (const toml::table* e = n.as_table())
                    keys_of(section, *e);
                else
                    refuse(source, section, "a table of values is wanted");
            }
        else
            refuse(source, section, "no such key");
    }
}

// A code given by name or number in the keyword file, before the table of
// fields that depends on it can be made.
long shape_code(const toml::table& t, const std::string& source, const char* section,
                const char* key, const std::vector<std::pair<long, std::string>>& names,
                bool letters = false) {
    const toml::node* n = t.at_path(std::string(section) + "." + key).node();
    if (!n) return 0;  // the field's own check names it
    if (const auto* i = n->as_integer()) return static_cast<long>(i->get());
    Field f;
    f.names = names;
    f.letters = letters;
    if (const auto* s = n->as_string()) {
        for (const auto& [code, name] : names)
            if (name == s->get() || (letters && is_letter_of(s->get(), code))) return code;
        refuse(source, "[" + std::string(section) + "] " + key,
               quoted(s->get()) + " is none of" + choices(f));
    }
    refuse(source, "[" + std::string(section) + "] " + key,
           "a name or a whole number is wanted" + choices(f));
}

std::size_t items(const toml::table& t, const char* section) {
    const toml::node* n = t.get(section);
    const toml::array* a = n ? n->as_array() : nullptr;
    return a ? a->size() : 0;
}

// A new empty file to write a copy in.
std::string scratch_path() {
    std::string path = (std::filesystem::temp_directory_path() / "keyfilesXXXXXX").string();
    const int fd = ::mkstemp(path.data());
    if (fd < 0) throw std::runtime_error("no scratch file");
    ::close(fd);
    return path;
}

}  // namespace

bool kind_of_name(const std::string& file_name, Kind& kind) {
    const std::string name = upper(base_name(file_name));
    if (name == "SITEGEN.INI")
        kind = Kind::Sitegen;
    else if (name == "MODIFY.INI")
        kind = Kind::Modify;
    else if (name == "DUMP.INI")
        kind = Kind::Dump;
    else if (name == "PCD.INI")
        kind = Kind::Pcd;
    else if (name == "UTL.INI")
        kind = Kind::UtlStructure;
    else if (name == "LOADPAT.ANS")
        kind = Kind::Loadpat;
    else
        return false;
    return true;
}

const char* file_name_of(Kind kind) {
    switch (kind) {
        case Kind::Sitegen:
            return "SITEGEN.INI";
        case Kind::Modify:
            return "MODIFY.INI";
        case Kind::Pcd:
            return "PCD.INI";
        case Kind::UtlStructure:
        case Kind::UtlVolumes:
            return "UTL.INI";
        case Kind::Loadpat:
            return "LOADPAT.ANS";
        case Kind::Dump:
            break;
    }
    return "DUMP.INI";
}

Kind utl_layout_of(const std::string& path) {
    recio::RecordReader in;
    std::string first;
    if (!in.open(path) || !in.next_record(first)) return Kind::UtlStructure;
    first = first.substr(0, 4);
    const std::size_t begin = first.find_first_not_of(' ');
    const std::size_t end = first.find_last_not_of(' ');
    if (begin == std::string::npos) return Kind::UtlStructure;
    const std::string word = first.substr(begin, end - begin + 1);
    const bool whole = std::all_of(word.begin(), word.end(), [](char ch) {
        return std::isdigit(static_cast<unsigned char>(ch)) || ch == '-' || ch == '+';
    });
    return whole ? Kind::UtlVolumes : Kind::UtlStructure;
}

Values read_fixed(const std::string& path, Kind kind) {
    Values v;
    v.kind = kind;
    bool opened = true;
    switch (kind) {
        case Kind::Sitegen: {
            recio::RecordReader in;
            opened = in.open(path);
            if (opened) v.sitegen = suitefiles::read_sitegen_ini(in);
            break;
        }
        case Kind::Modify: {
            recio::RecordReader in;
            opened = in.open(path);
            if (!opened) break;
            const std::string fault = suitefiles::read_modify_ini(in, v.modify);
            if (!fault.empty()) throw std::runtime_error(fault);
            break;
        }
        case Kind::Dump:
            opened = suitefiles::read_dump_ini(path, v.dump);
            break;
        case Kind::Pcd:
            opened = suitefiles::read_pcd_ini(path, v.pcd);
            break;
        case Kind::UtlStructure:
        case Kind::UtlVolumes: {
            recio::RecordReader in;
            opened = in.open(path);
            if (!opened) break;
            v.kind = utl_layout_of(path);
            const std::string fault = v.kind == Kind::UtlVolumes
                                          ? suitefiles::read_utl_volumes(in, v.utl_volumes)
                                          : suitefiles::read_utl_structure(in, v.utl_structure);
            if (!fault.empty()) throw std::runtime_error(fault);
            break;
        }
        case Kind::Loadpat: {
            recio::RecordReader in;
            opened = in.open(path);
            if (!opened) break;
            const std::string fault = suitefiles::read_loadpat_answers(in, v.loadpat);
            if (!fault.empty()) throw std::runtime_error(fault);
            break;
        }
    }
    if (!opened) throw std::runtime_error(path + ": no such file");
    return v;
}

std::vector<std::string> fixed_records(const Values& v) {
    switch (v.kind) {
        case Kind::Sitegen:
            return suitefiles::sitegen_ini_records(v.sitegen);
        case Kind::Modify:
            return suitefiles::modify_ini_records(v.modify);
        case Kind::Pcd: {
            // PCD.INI's writer writes its file; its records are those of a scratch copy.
            const std::string scratch = scratch_path();
            std::vector<std::string> out;
            if (suitefiles::write_pcd_ini(scratch, v.pcd)) {
                recio::RecordReader in(scratch);
                std::string r;
                while (in.next_record(r)) out.push_back(r);
            }
            std::remove(scratch.c_str());
            return out;
        }
        case Kind::UtlStructure:
            return suitefiles::utl_structure_records(v.utl_structure);
        case Kind::UtlVolumes:
            return suitefiles::utl_volumes_records(v.utl_volumes);
        case Kind::Loadpat:
            return suitefiles::loadpat_answers_records(v.loadpat);
        case Kind::Dump:
            break;
    }
    return suitefiles::dump_ini_records(v.dump);
}

std::string to_toml(Values& v) {
    const std::vector<Field> fields = fields_of(v);
    std::ostringstream out;
    out << "# " << file_name_of(v.kind) << " as a keyword file. `menu write` turns it into the\n"
        << "# fixed-column file the programs read; each value says the record and columns\n"
        << "# it goes to, and its units.\n"
        << "file = \"" << file_name_of(v.kind) << "\"\n";
    for (const Group& g : groups(fields)) {
        out << "\n" << (g.item >= 0 ? "[[" + g.section + "]]" : "[" + g.section + "]") << "\n";
        for (const Field* f : g.fields)
            out << f->key << " = " << value_text(*f) << "  # " << where(*f) << ": " << f->meaning
                << choices(*f) << "\n";
    }
    return out.str();
}

Values from_toml(const std::string& text, const std::string& source) {
    toml::table t;
    try {
        t = toml::parse(text, source);
    } catch (const toml::parse_error& e) {
        std::ostringstream why;
        why << source << ":" << e.source().begin.line << ":" << e.source().begin.column << ": "
            << e.description();
        throw std::runtime_error(why.str());
    }
    Values v;
    const std::string file = t["file"].value_or(std::string{});
    if (!kind_of_name(file, v.kind))
        refuse(source, "file",
               "names the control file: \"SITEGEN.INI\", \"MODIFY.INI\", \"DUMP.INI\", "
               "\"PCD.INI\", \"UTL.INI\" or \"LOADPAT.ANS\"");
    if (v.kind == Kind::UtlStructure && t.contains("volumes")) v.kind = Kind::UtlVolumes;
    // The shape first: the records that follow depend on these.
    if (v.kind == Kind::Sitegen) {
        v.sitegen.mode = static_cast<std::int16_t>(
            shape_code(t, source, "depths", "mode", {{1, "plane"}, {2, "survey"}}));
    } else if (v.kind == Kind::Modify) {
        v.modify.mode = static_cast<std::int8_t>(
            shape_code(t, source, "edits", "mode", {{1, "points"}, {2, "survey"}}));
        const std::size_t edits = items(t, "edit");
        if (edits > static_cast<std::size_t>(suitefiles::MAX_EDITS))
            refuse(source, "[[edit]]",
                   std::to_string(edits) + " edits: a run takes 0 to " +
                       std::to_string(suitefiles::MAX_EDITS));
        v.modify.edits.assign(edits, suitefiles::EditPoint{});
    } else if (v.kind == Kind::UtlStructure) {
        v.utl_structure.structure = static_cast<char>(
            shape_code(t, source, "structure", "kind", {{'M', "mound"}, {'B', "berm"}}, true));
    } else if (v.kind == Kind::UtlVolumes) {
        v.utl_volumes.mode =
            static_cast<std::int16_t>(shape_code(t, source, "volumes", "mode",
                                                 {{suitefiles::VOLUME_ABOVE, "above"},
                                                  {suitefiles::VOLUME_BETWEEN, "between"},
                                                  {suitefiles::VOLUME_DIFFERENCE, "difference"}}));
    } else if (v.kind == Kind::Loadpat) {
        v.loadpat.control = static_cast<std::int16_t>(
            shape_code(t, source, "placement", "control", {{0, "centroids"}, {1, "random"}}));
    } else if (v.kind == Kind::Dump) {
        suitefiles::DumpControl& c = v.dump;
        c.placement_mode = static_cast<suitefiles::PlacementMode>(
            shape_code(t, source, "placement", "mode",
                       {{1, "scatter"}, {2, "line"}, {3, "keyboard"}, {4, "file"}}));
        const std::size_t fractions = items(t, "fraction");
        const std::size_t profile = items(t, "profile_point");
        if (fractions < 1 || fractions > suitefiles::MAX_FRACTIONS)
            refuse(source, "[[fraction]]",
                   std::to_string(fractions) + " fractions: a load has 1 to 4");
        if (profile > suitefiles::MAX_PROFILE)
            refuse(source, "[[profile_point]]",
                   std::to_string(profile) + " points: the density profile has 0 to 4");
        c.fractions.assign(fractions, suitefiles::Fraction{});
        c.nfrac = static_cast<std::int16_t>(fractions);
        c.nprofile = static_cast<std::int16_t>(profile);
        c.rec_fractions = 20;
        c.rec_profile = 20 + c.nfrac;
    }
    const std::vector<Field> fields = fields_of(v);
    refuse_unknown_keys(t, fields, source);
    for (const Field& f : fields) {
        const toml::node* n = node_of(t, f);
        if (!n) refuse(source, key_name(f), "missing (" + where(f) + ": " + f.meaning + ")");
        set_field(f, *n, source);
    }
    // loadpat takes the approach direction in either case; the file keeps it as it reads it.
    if (v.kind == Kind::Loadpat) v.loadpat.approach = upper(v.loadpat.approach);
    if (v.kind == Kind::Sitegen) {
        v.sitegen.corners.nw_e = v.sitegen.site_nw_e;
        v.sitegen.corners.nw_n = v.sitegen.site_nw_n;
    }
    return v;
}

std::string explain(Values& v) {
    std::vector<Field> fields = fields_of(v);
    std::stable_sort(fields.begin(), fields.end(), [](const Field& a, const Field& b) {
        return a.record < b.record || (a.record == b.record && a.first < b.first);
    });
    std::ostringstream out;
    long record = 0;
    for (const Field& f : fields) {
        if (f.record != record) {
            record = f.record;
            out << file_name_of(v.kind) << " record " << record << "\n";
        }
        out << "  columns " << f.first << "-" << f.last << "  " << key_name(f) << " = "
            << value_text(f) << "  (" << f.meaning << choices(f) << ")\n";
    }
    return out.str();
}

}  // namespace keyfiles
