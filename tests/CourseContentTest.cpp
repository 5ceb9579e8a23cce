// The compiled course against tests/data/course.plan, the table of what every component must hold.
// The course is read as a component stream rather than loaded, so that exactly the stored properties
// show (a property left at its default is not stored) and pictures are seen as the bytes the file holds.
#include "graphics/StoredPicture.h"
#include "stream/TReader.h"
#include "stream/TStream.h"
#include "stream/TextCodec.h"
#include "tests/CourseFixture.h"
#include "tools/PictureFacts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

// ---- The compiled course as a tree of components ----

struct Prop {
    std::string Name, Text;
    std::vector<std::string> Strings; // the elements of a list value
    std::vector<uint8_t> Bytes;       // binary data
};

struct Node {
    std::string Class, Name, Parent;
    std::vector<Prop> Props;
    std::vector<std::string> Children;
    const Prop* Find(std::string_view name) const {
        for (const Prop& p : Props)
            if (p.Name == name) return &p;
        return nullptr;
    }
};

struct Course {
    std::vector<Node> Nodes;              // in stream order, the root first
    std::map<std::string, size_t> ByName; // names are unique: the root owns every component
};

uint32_t LE32(const uint8_t* b) {
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

bool IsText(TValueType v) {
    return v == TValueType::vaString || v == TValueType::vaLString || v == TValueType::vaWString ||
           v == TValueType::vaUTF8String;
}

std::string Items(size_t n) {
    return n ? "(" + std::to_string(n) + " items)" : "()";
}

// A value as text: numbers in decimal, identifiers by name, sets as their elements joined by "+", lists
// and collections as "()" or "(N items)". The texts of a list and binary data are kept on the property.
std::string ValueText(TReader& r, Prop& p) {
    using VT = TValueType;
    VT v = r.NextValue();
    if (IsText(v)) return r.ReadString();
    if (v == VT::vaInt8 || v == VT::vaInt16 || v == VT::vaInt32 || v == VT::vaInt64)
        return std::to_string(r.ReadInt64());
    if (v == VT::vaIdent || v == VT::vaFalse || v == VT::vaTrue || v == VT::vaNil || v == VT::vaNull)
        return r.ReadIdent();
    if (v == VT::vaList) {
        r.ReadListBegin();
        while (!r.EndOfList())
            p.Strings.push_back(ValueText(r, p));
        r.ReadListEnd();
        return Items(p.Strings.size());
    }
    if (v == VT::vaSet) {
        r.ReadValue();
        std::string text;
        for (std::string e = r.ReadStr(); !e.empty(); e = r.ReadStr())
            text += (text.empty() ? "" : "+") + e;
        return text;
    }
    if (v == VT::vaBinary) {
        r.ReadValue();
        uint8_t n[4];
        r.Read(n, 4);
        if (LE32(n) > r.BytesLeft()) throw std::runtime_error(p.Name + " runs past the end of the course");
        p.Bytes.resize(LE32(n));
        r.Read(p.Bytes.data(), p.Bytes.size());
        return "binary data of " + std::to_string(p.Bytes.size()) + " bytes";
    }
    if (v == VT::vaCollection) {
        r.ReadValue();
        int items = 0;
        for (; !r.EndOfList(); ++items) {
            if (r.NextValue() != VT::vaList) r.ReadInteger(); // the item's index
            r.ReadListBegin();
            for (; !r.EndOfList(); r.SkipValue())
                r.ReadStr();
            r.ReadListEnd();
        }
        r.ReadListEnd();
        return Items(items);
    }
    r.SkipValue();
    return "value of type " + std::to_string(int(v));
}

void ReadComponent(TReader& r, size_t parent, Course& c) {
    TFilerFlags flags = 0;
    int childPos = 0;
    r.ReadPrefix(flags, childPos);
    Node n;
    n.Class = r.ReadStr();
    n.Name = r.ReadStr();
    while (!r.EndOfList()) {
        Prop p;
        p.Name = r.ReadStr();
        p.Text = ValueText(r, p);
        n.Props.push_back(std::move(p));
    }
    r.ReadListEnd();
    size_t index = c.Nodes.size();
    c.ByName.emplace(n.Name, index);
    if (index > 0) {
        n.Parent = c.Nodes[parent].Name;
        c.Nodes[parent].Children.push_back(n.Name);
    }
    c.Nodes.push_back(std::move(n));
    while (!r.EndOfList())
        ReadComponent(r, index, c);
    r.ReadListEnd();
}

std::string ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(std::string("cannot read ") + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const Course& TheCourse() {
    static const Course course = [] {
        TCustomMemoryStream stream(CourseBytes());
        TReader r(stream);
        r.ReadSignature();
        Course c;
        ReadComponent(r, 0, c);
        return c;
    }();
    return course;
}

// ---- The plan ----

struct PlanLine {
    bool Sheet = false;
    int Page = -1; // the page a sheet is or a control is on; -1 on the form
    std::string Name, Class, Parent, Bounds, Caption;
    std::vector<std::pair<std::string, std::string>> Keys;

    std::vector<std::string> All(std::string_view key) const {
        std::vector<std::string> values;
        for (const auto& [k, v] : Keys)
            if (k == key) values.push_back(v);
        return values;
    }
    std::optional<std::string> Get(std::string_view key) const {
        auto values = All(key);
        return values.empty() ? std::nullopt : std::optional(values[0]);
    }
    bool Has(std::string_view key) const { return Get(key).has_value(); }
};

// Fields are separated by single blanks; quoted parts may hold blanks and the escape \u{HEX}.
std::vector<std::string> Fields(std::string_view line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == ' ' && !quoted) {
            fields.emplace_back();
            continue;
        }
        quoted ^= line[i] == '"';
        fields.back() += line[i];
    }
    return fields;
}

std::string Unquote(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '"') continue;
        if (s.substr(i, 3) == "\\u{") {
            char* end = nullptr;
            TextCodec::AppendUtf8(out, char32_t(std::strtoul(s.data() + i + 3, &end, 16)));
            i = size_t(end - s.data());
        } else {
            out += s[i];
        }
    }
    return out;
}

std::vector<std::string> Split(std::string_view s, char separator) {
    std::vector<std::string> parts(1);
    for (char ch : s)
        ch == separator ? parts.emplace_back() : parts.back() += ch;
    return parts;
}

std::vector<PlanLine> ParsePlan(std::string_view text) {
    std::vector<PlanLine> plan;
    std::string form, book, sheet;
    for (const std::string& line : Split(text, '\n')) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f = Fields(line);
        if (f[0] == "form" && f.size() == 2) {
            form = f[1]; // the root, parent of the controls before the first page
            continue;
        }
        PlanLine l;
        if (f[0] == "page" && f.size() >= 4) {
            l.Sheet = true;
            l.Page = std::atoi(f[1].c_str());
            l.Name = sheet = f[2];
            l.Class = "TTabSheet";
            l.Parent = book;
            l.Caption = Unquote(f[3]);
        } else if (f[0] == "control" && f.size() >= 4) {
            l.Name = f[1];
            l.Class = f[2];
            l.Bounds = f[3];
            l.Page = sheet.empty() ? -1 : plan.back().Page;
            l.Parent = sheet.empty() ? form : sheet;
            if (l.Class == "TPageControl") book = l.Name;
        } else {
            throw std::runtime_error("malformed plan line: " + line);
        }
        for (size_t i = 4; i < f.size(); ++i) {
            size_t eq = f[i].find('=');
            l.Keys.emplace_back(f[i].substr(0, eq),
                                eq == std::string::npos ? "" : Unquote(f[i].substr(eq + 1)));
        }
        plan.push_back(std::move(l));
    }
    return plan;
}

// ---- The comparison ----

enum class Kind { Layout, Text, Picture };

struct Difference {
    Kind What;
    std::string Line;
};

size_t CodePoints(std::string_view s, bool countLineBreaks = true) {
    size_t n = 0;
    for (size_t pos = 0; pos < s.size();) {
        char32_t cp = TextCodec::NextCodePoint(s, pos);
        n += countLineBreaks || (cp != '\r' && cp != '\n');
    }
    return n;
}

// A text as it appears in a report: quoted, control characters escaped, long texts cut.
std::string Show(std::string_view s) {
    std::string out = "\"";
    size_t n = 0;
    for (size_t pos = 0; pos < s.size() && n < 120; ++n) {
        char32_t cp = TextCodec::NextCodePoint(s, pos);
        if (cp == '\t' || cp == '\n' || cp == '\r')
            out += cp == '\t' ? "\\t" : cp == '\n' ? "\\n" : "\\r";
        else if (cp == '"' || cp == '\\')
            out += {'\\', char(cp)};
        else
            TextCodec::AppendUtf8(out, cp);
    }
    return out + (n < CodePoints(s) ? "...\"" : "\"");
}

// Empty, or only blanks, tabs and no-break spaces.
bool IsBlank(std::string_view s) {
    for (size_t pos = 0; pos < s.size();)
        if (char32_t cp = TextCodec::NextCodePoint(s, pos); cp != ' ' && cp != '\t' && cp != 0xA0)
            return false;
    return true;
}

Kind KindOf(std::string_view property) {
    return property == "Picture.Data" ? Kind::Picture
           : property == "Caption" || property == "Items.Strings" || property == "Lines.Strings"
               ? Kind::Text
               : Kind::Layout;
}

bool Within5Percent(size_t found, size_t expected) {
    return (found > expected ? found - expected : expected - found) * 20 <= expected;
}

// The plan's picture kinds in the words a definition declares pictures with.
const std::map<std::string, std::string> kDeclaredKinds = {
    {"bmp24", "bitmap24"},  {"bmp8grey", "bitmap8grey"}, {"bmp8pal", "bitmap8"},
    {"jpeg-color", "jpeg"}, {"jpeg-grey", "jpeggrey"},   {"gif", "gif"}};

std::string DescribeGif(const PictureFacts& f) {
    return "GIF" + f.GifVersion + ",frame=" + std::to_string(f.FrameWidth) + "x" +
           std::to_string(f.FrameHeight) + ",colors=" + std::to_string(f.LocalTableEntries) +
           ",transparent=" + (f.Transparent ? std::to_string(f.TransparentIndex) : "none") +
           ",lzw=" + std::to_string(f.MinCodeSize) +
           ",comment=" + (f.CommentBytes < 0 ? "none" : std::to_string(f.CommentBytes));
}

struct Checker {
    const Course& C;
    std::vector<Difference> Out;

    std::vector<Difference> Run(const std::vector<PlanLine>& plan) {
        std::map<std::string, const PlanLine*> planned;
        for (const PlanLine& l : plan)
            planned[l.Name] = &l;
        for (const PlanLine& l : plan) {
            auto it = C.ByName.find(l.Name);
            if (it == C.ByName.end()) {
                Report(Kind::Layout, l, "component", l.Class, "nothing");
                continue;
            }
            const Node& n = C.Nodes[it->second];
            if (n.Class != l.Class) Report(Kind::Layout, l, "class", l.Class, n.Class);
            if (n.Parent != l.Parent) Report(Kind::Layout, l, "parent", l.Parent, n.Parent);
            CheckProperties(l, n);
            CheckTexts(l, n);
            CheckPicture(l, n);
        }
        for (size_t i = 1; i < C.Nodes.size(); ++i) {
            const Node& n = C.Nodes[i];
            if (planned.count(n.Name)) continue;
            auto parent = planned.find(n.Parent);
            PlanLine extra;
            extra.Name = n.Name;
            extra.Page = parent == planned.end() ? -1 : parent->second->Page;
            Report(Kind::Layout, extra, "component", "nothing", n.Class + " on " + n.Parent);
        }
        for (const Node& parent : C.Nodes)
            CheckOrder(plan, parent);
        return std::move(Out);
    }

    void Report(Kind kind, const PlanLine& l, const std::string& what, const std::string& expected,
                const std::string& found) {
        std::string where = l.Page < 0 ? "form" : "page " + std::to_string(l.Page);
        Out.push_back(
            {kind, where + ", " + l.Name + ": " + what + ": expected " + expected + ", found " + found});
    }

    // Every stored property the plan implies, with its value; nothing else but the planned content.
    void CheckProperties(const PlanLine& l, const Node& n) {
        std::map<std::string, std::string> expected;
        std::set<std::string> content;
        auto assign = [&](std::initializer_list<const char*> names, const std::string& values) {
            std::vector<std::string> v = Split(values, ',');
            for (size_t i = 0; const char* name : names)
                expected[name] = i < v.size() ? v[i++] : "";
        };
        if (!l.Sheet) assign({"Left", "Top", "Width", "Height"}, l.Bounds);
        if (l.Get("margins") != "none")
            for (const char* side : {"Left", "Top", "Right", "Bottom"})
                expected[std::string("Margins.") + side] = "4";
        if (auto font = l.Get("font")) {
            assign({"Font.Name", "Font.Height", "Font.Color", "Font.Style", "Font.Charset"}, *font);
            expected["ParentFont"] = "False";
        }
        if (auto props = l.Get("props"))
            for (const std::string& entry : Split(*props, ';')) {
                size_t colon = entry.find(':');
                expected[entry.substr(0, colon)] = colon == std::string::npos ? "" : entry.substr(colon + 1);
            }
        if (l.Sheet) {
            expected["Caption"] = l.Caption;
            if (l.Get("index") != "none") expected["ImageIndex"] = l.Get("index").value_or("");
            if (l.Has("highlighted")) expected["Highlighted"] = "True";
        }
        if (auto caption = l.Get("caption")) expected["Caption"] = *caption;
        for (auto [key, property] : {std::pair{"captionlen", "Caption"},
                                     {"items", "Items.Strings"},
                                     {"lines", "Lines.Strings"},
                                     {"picture", "Picture.Data"}})
            if (l.Has(key)) content.insert(property);

        for (const auto& [name, text] : expected) {
            const Prop* p = n.Find(name);
            if (!p || p->Text != text)
                Report(KindOf(name), l, name, Show(text), p ? Show(p->Text) : "nothing");
        }
        for (const Prop& p : n.Props)
            if (!expected.count(p.Name) && !content.count(p.Name))
                Report(KindOf(p.Name), l, "stored property " + p.Name, "nothing", Show(p.Text));
    }

    void CheckTexts(const PlanLine& l, const Node& n) {
        std::string whole;
        const char* count = l.Has("items") ? "items" : "lines";
        if (l.Has(count)) {
            std::string name = l.Has("items") ? "Items.Strings" : "Lines.Strings";
            const Prop* p = n.Find(name);
            if (!p) return Report(Kind::Text, l, name, "a list of texts", "nothing");
            size_t chars = 0, longest = 0, blanks = 0, nbsp = 0;
            for (const std::string& item : p->Strings) {
                size_t length = CodePoints(item, false);
                chars += length;
                longest = std::max(longest, length);
                blanks += IsBlank(item);
                nbsp += item == "\u00A0";
                whole += item + "\n";
            }
            auto exact = [&](const char* key, size_t found) {
                if (auto want = l.Get(key); want && std::to_string(found) != *want)
                    Report(Kind::Text, l, key, *want, std::to_string(found));
            };
            exact(count, p->Strings.size());
            exact("nbsp", nbsp);
            exact("blanks", blanks);
            if (auto want = l.Get("chars"); want && !Within5Percent(chars, std::stoul(*want)))
                Report(Kind::Text, l, "chars", *want + " (within 5 %)", std::to_string(chars));
            if (auto want = l.Get("maxline"); want) {
                size_t max = std::stoul(*want);
                if (longest > max || longest * 10 < max * 9)
                    Report(Kind::Text, l, "longest item", std::to_string((max * 9 + 9) / 10) + " to " + *want,
                           std::to_string(longest));
            }
            for (const std::string& prefix : l.All("prefix"))
                if (std::none_of(p->Strings.begin(), p->Strings.end(),
                                 [&](const std::string& item) { return item.starts_with(prefix); }))
                    Report(Kind::Text, l, "prefix", Show(prefix), "no item beginning so");
        } else if (const Prop* caption = n.Find("Caption")) {
            whole = caption->Text;
        }
        if (auto want = l.Get("captionlen")) {
            const Prop* caption = n.Find("Caption");
            if (!caption || !Within5Percent(CodePoints(caption->Text), std::stoul(*want)))
                Report(Kind::Text, l, "caption length", *want + " (within 5 %)",
                       caption ? std::to_string(CodePoints(caption->Text)) : "nothing");
        }
        for (const std::string& quote : l.All("quote"))
            if (whole.find(quote) == std::string::npos)
                Report(Kind::Text, l, "quote", Show(quote), "nothing");
    }

    void CheckPicture(const PlanLine& l, const Node& n) {
        auto want = l.Get("picture");
        if (!want) return;
        const Prop* p = n.Find("Picture.Data");
        if (!p) {
            Report(Kind::Picture, l, "Picture.Data", Show(*want), "nothing");
            return;
        }
        // The class name as a short string, for bitmaps and JPEG a 4-byte length, then the file.
        std::span<const uint8_t> data = p->Bytes;
        size_t nameEnd = data.empty() ? 0 : std::min<size_t>(data.size(), 1 + data[0]);
        std::string cls(data.begin() + !data.empty(), data.begin() + nameEnd);
        std::span<const uint8_t> file =
            data.subspan(std::min(data.size(), 1 + cls.size() + 4 * (cls != "TGIFImage")));
        if (!std::ranges::equal(StoredPictureData(file), data))
            Report(Kind::Picture, l, "Picture.Data", "the class of the file and its length before it",
                   "class " + Show(cls) + " in " + std::to_string(data.size()) + " bytes");
        size_t colon = want->find(':');
        int width = 0, height = 0;
        std::sscanf(want->c_str() + colon + 1, "%dx%d", &width, &height);
        auto kind = kDeclaredKinds.find(want->substr(0, colon));
        PictureFacts facts = InspectPicture(file);
        if (std::string problems = CheckDeclaredPicture(
                facts, kind == kDeclaredKinds.end() ? *want : kind->second, width, height);
            !problems.empty())
            Report(Kind::Picture, l, "picture", Show(*want), problems);
        if (auto gif = l.Get("gif");
            gif && facts.Kind == PictureFacts::Type::Gif && DescribeGif(facts) != *gif)
            Report(Kind::Picture, l, "GIF structure", Show(*gif), Show(DescribeGif(facts)));
        if (facts.Kind != PictureFacts::Type::Jpeg) return;
        for (auto [segment, present] :
             {std::pair{"exif", facts.Exif}, {"icc", facts.Icc}, {"xmp", facts.Xmp}})
            if (l.Has(segment) != present)
                Report(Kind::Picture, l, std::string(segment) + " segment",
                       l.Has(segment) ? "present" : "absent", present ? "present" : "absent");
    }

    // The children of one parent in planned order: each comes somewhere after the one planned before it.
    void CheckOrder(const std::vector<PlanLine>& plan, const Node& parent) {
        const PlanLine* previous = nullptr;
        auto at = [&](const std::string& name) {
            return std::find(parent.Children.begin(), parent.Children.end(), name);
        };
        for (const PlanLine& l : plan) {
            if (l.Parent != parent.Name || at(l.Name) == parent.Children.end()) continue;
            if (previous && at(l.Name) < at(previous->Name))
                Report(Kind::Layout, l, "order", "after " + previous->Name, "before it");
            previous = &l;
        }
    }
};

std::vector<Difference> Compare(std::string_view planText, const Course& course) {
    return Checker{course, {}}.Run(ParsePlan(planText));
}

const std::vector<Difference>& Differences() {
    static const std::vector<Difference> differences = Compare(ReadFile(ORV_COURSE_PLAN), TheCourse());
    return differences;
}

void ExpectNoDifferences(Kind kind) {
    std::string lines;
    size_t n = 0;
    for (const Difference& d : Differences())
        if (d.What == kind) lines += "  " + d.Line + "\n", ++n;
    if (n) ADD_FAILURE() << n << " differences from the plan:\n" << lines;
}

TEST(CourseContent, ComponentsAreLaidOutAsPlanned) {
    ExpectNoDifferences(Kind::Layout);
}

TEST(CourseContent, TextsAreAsPlanned) {
    ExpectNoDifferences(Kind::Text);
}

TEST(CourseContent, PicturesAreAsPlanned) {
    ExpectNoDifferences(Kind::Picture);
}

// The checker itself: faults planted in a copy of the plan come back as exactly those differences.
TEST(CourseContent, CheckerReportsFaultsPlantedInThePlan) {
    const std::string original = ReadFile(ORV_COURSE_PLAN);
    std::string plan = original;
    auto plant = [&](const std::string& line, const std::string& from, const std::string& to) {
        size_t start = plan.find("\n" + line + " ");
        size_t at = plan.find(from, start);
        ASSERT_NE(start, std::string::npos) << line;
        ASSERT_LT(at, plan.find('\n', start + 1)) << from;
        plan.replace(at, from.size(), to);
    };
    plant("control ListBox11", "items=120", "items=7");
    plant("control ListBox11", "quote=\"RESUMEN\"", "quote=\"RESUMEN DE NADA\"");
    plant("control Image41", "picture=bmp24:440x658", "picture=bmp24:400x658");

    std::set<std::string> before, after;
    for (const Difference& d : Compare(original, TheCourse()))
        before.insert(d.Line);
    for (const Difference& d : Compare(plan, TheCourse()))
        after.insert(d.Line);
    std::vector<std::string> added;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(added));
    ASSERT_EQ(added.size(), 3u) << ::testing::PrintToString(added);
    EXPECT_TRUE(added[0].starts_with("page 0, ListBox11: items: expected 7, found ")) << added[0];
    EXPECT_EQ(added[1], "page 0, ListBox11: quote: expected \"RESUMEN DE NADA\", found nothing");
    EXPECT_TRUE(added[2].starts_with("page 1, Image41: picture: expected \"bmp24:400x658\", found size "))
        << added[2];
}

} // namespace
