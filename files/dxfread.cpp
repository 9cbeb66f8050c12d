// The ASCII DXF reader: group code and value pairs, the HEADER's $INSUNITS
// and the line entities of the ENTITIES section.
#include "files/dxfread.h"

#include <charconv>
#include <cmath>
#include <map>

namespace files {

namespace {

constexpr std::string_view kBinarySentinel = "AutoCAD Binary DXF";
// The fewest bytes one more vertex of a polyline takes in the file
// ("10\n0\n20\n0\n"): a declared count above the rest of the file over this
// is a lie.
constexpr std::size_t kVertexBytes = 10;

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// A value of the file in double quotes, cut to 40 characters, then `what`
// (built by appending: gcc 12 warns wrongly about the concatenation).
std::string quoted(std::string_view v, const char* what) {
    std::string q(1, '"');
    q.append(v.substr(0, 40)).append("\" ").append(what);
    return q;
}

bool parseInt(std::string_view s, long long& v) {
    s = trim(s);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc{} && end == s.data() + s.size() && !s.empty();
}

bool parseReal(std::string_view s, double& v) {
    s = trim(s);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc{} && end == s.data() + s.size() && !s.empty() && std::isfinite(v);
}

// The file as group code and value pairs, two lines each.
class PairReader {
public:
    explicit PairReader(std::string_view text) : text_(text) {}
    enum Outcome { kPair, kEnd, kCutShort, kBadCode };
    Outcome next(int& code, std::string_view& value) {
        std::string_view codeLine;
        if (!line(codeLine)) return kEnd;
        codeLine_ = lineNo_;
        long long c = 0;
        if (!parseInt(codeLine, c) || c < -5 || c > 1071) return kBadCode;
        if (!line(value)) return kCutShort;
        code = static_cast<int>(c);
        value = trim(value);
        return kPair;
    }
    int codeLine() const { return codeLine_; }
    int lineNo() const { return lineNo_; }
    std::size_t remaining() const { return text_.size() - pos_; }

private:
    bool line(std::string_view& out) {
        if (pos_ >= text_.size()) return false;
        const std::size_t nl = text_.find('\n', pos_);
        const std::size_t end = nl == std::string_view::npos ? text_.size() : nl;
        out = text_.substr(pos_, end - pos_);
        pos_ = nl == std::string_view::npos ? text_.size() : nl + 1;
        ++lineNo_;
        return true;
    }
    std::string_view text_;
    std::size_t pos_ = 0;
    int lineNo_ = 0;
    int codeLine_ = 0;
};

// The entity being read and the polyline whose vertices follow it.
struct Entity {
    std::string type;
    int line = 0;
    std::string layer = "0";
    bool paper = false;
    int flags = 0;           // 70
    long long declared = -1; // 90 of LWPOLYLINE
    double normal[3] = {0, 0, 1};
    bool has[4] = {false, false, false, false}; // 10 20 11 21 of LINE
    DxfPoint a, b;
    std::vector<DxfPoint> points;
    bool yMissing = false;
    std::vector<std::size_t> bulges; // vertices whose segment to the next one is an arc
};

// The arc segments among the bulges: the last vertex's starts one only when
// the path is closed.
int arcSegments(const std::vector<std::size_t>& bulges, std::size_t points, bool closed) {
    int n = 0;
    for (std::size_t i : bulges) n += i + 1 < points || (closed && i + 1 == points) ? 1 : 0;
    return n;
}

class Reader {
public:
    explicit Reader(std::string_view text) : pairs_(text) {}
    DxfReadResult run();

private:
    bool fail(DxfStatus status, int line, std::string problem) {
        result_.status = status;
        result_.line = line;
        result_.problem = std::move(problem);
        return false;
    }
    bool number(std::string_view v, double& out) {
        if (parseReal(v, out)) return true;
        return fail(DxfStatus::kMalformed, pairs_.lineNo(), quoted(v, "is not a number"));
    }
    bool integer(std::string_view v, long long& out) {
        if (parseInt(v, out)) return true;
        return fail(DxfStatus::kMalformed, pairs_.lineNo(), quoted(v, "is not a whole number"));
    }
    bool header(int code, std::string_view value);
    bool entityValue(int code, std::string_view value);
    bool vertexValue(int code, std::string_view value);
    bool finishEntity();
    bool finishPolyline();
    void keep(const std::string& layer, bool closed, std::vector<DxfPoint> pts);
    void skip(const std::string& type) { ++skipped_[type]; }
    bool planar(const double n[3]) const {
        return std::fabs(n[0]) < 1e-9 && std::fabs(n[1]) < 1e-9 && n[2] != 0;
    }

    PairReader pairs_;
    DxfReadResult result_;
    std::map<std::string, int> skipped_;
    std::map<std::string, int> layerIndex_;
    bool inPolyline_ = false;
    Entity polyline_;          // the open POLYLINE
    Entity entity_;            // the entity being read (no type: none)
    bool headerUnits_ = false; // the last 9 of HEADER was $INSUNITS
};

void Reader::keep(const std::string& layer, bool closed, std::vector<DxfPoint> pts) {
    DxfDrawing& d = result_.drawing;
    auto [it, added] = layerIndex_.try_emplace(layer, static_cast<int>(d.layers.size()));
    if (added) {
        d.layers.push_back(layer);
        d.layerPaths.push_back(0);
    }
    ++d.layerPaths[static_cast<std::size_t>(it->second)];
    d.paths.push_back(DxfPath{it->second, closed, std::move(pts)});
}

bool Reader::header(int code, std::string_view value) {
    if (code == 9) {
        headerUnits_ = value == "$INSUNITS";
        return true;
    }
    if (code == 70 && headerUnits_) {
        long long u = 0;
        if (!integer(value, u)) return false;
        result_.drawing.insunits = u >= 0 && u <= 1000 ? static_cast<int>(u) : 1000;
        headerUnits_ = false;
    }
    return true;
}

// A value of the entity being read.
bool Reader::entityValue(int code, std::string_view value) {
    Entity& e = entity_;
    if (code == 8) {
        e.layer = std::string(value);
        return true;
    }
    if (code == 67) {
        long long p = 0;
        if (!integer(value, p)) return false;
        e.paper = p == 1;
        return true;
    }
    const bool line = e.type == "LINE", lw = e.type == "LWPOLYLINE", poly = e.type == "POLYLINE";
    if (!line && !lw && !poly) return true;
    if (code == 70) {
        long long f = 0;
        if (!integer(value, f)) return false;
        e.flags = static_cast<int>(f & 0xffff);
        return true;
    }
    if ((lw || poly) && code >= 210 && code <= 230 && code % 10 == 0)
        return number(value, e.normal[(code - 210) / 10]);
    if (line) {
        const int slot = code == 10 ? 0 : code == 20 ? 1 : code == 11 ? 2 : code == 21 ? 3 : -1;
        if (slot < 0) return true;
        double v = 0;
        if (!number(value, v)) return false;
        (slot == 0 ? e.a.x : slot == 1 ? e.a.y : slot == 2 ? e.b.x : e.b.y) = v;
        e.has[slot] = true;
        return true;
    }
    if (!lw) return true;
    if (code == 90) {
        if (!integer(value, e.declared)) return false;
        const long long room = static_cast<long long>(pairs_.remaining() / kVertexBytes);
        if (e.declared < 0)
            return fail(DxfStatus::kMalformed, pairs_.lineNo(), "a negative vertex count");
        if (e.declared > room)
            return fail(DxfStatus::kTooLarge, pairs_.lineNo(),
                        "a vertex count of " + std::to_string(e.declared) +
                            ", more than the rest of the file can hold");
        e.points.reserve(static_cast<std::size_t>(e.declared));
        return true;
    }
    if (code == 10) {
        double x = 0;
        if (!number(value, x)) return false;
        if (!e.points.empty() && e.yMissing)
            return fail(DxfStatus::kMalformed, pairs_.lineNo(), "a vertex without its y (20)");
        e.points.push_back(DxfPoint{x, 0});
        e.yMissing = true;
        return true;
    }
    if (code == 20) {
        if (e.points.empty() || !e.yMissing)
            return fail(DxfStatus::kMalformed, pairs_.lineNo(), "a y (20) without its x (10)");
        e.yMissing = false;
        return number(value, e.points.back().y);
    }
    if (code == 42) {
        double bulge = 0;
        if (!number(value, bulge)) return false;
        if (bulge != 0 && !e.points.empty()) e.bulges.push_back(e.points.size() - 1);
    }
    return true;
}

// A value of a VERTEX of the open POLYLINE.
bool Reader::vertexValue(int code, std::string_view value) {
    Entity& e = entity_;
    if (code == 70) {
        long long f = 0;
        if (!integer(value, f)) return false;
        e.flags = static_cast<int>(f & 0xffff);
    } else if (code == 10 || code == 20) {
        if (!number(value, code == 10 ? e.a.x : e.a.y)) return false;
        e.has[code == 10 ? 0 : 1] = true;
    } else if (code == 42) {
        double bulge = 0;
        if (!number(value, bulge)) return false;
        if (bulge != 0) e.bulges.push_back(0);
    }
    return true;
}

bool Reader::finishPolyline() {
    inPolyline_ = false;
    Entity& p = polyline_;
    // Meshes (16) and polyface meshes (64) are no lines.
    if (p.flags & (16 | 64)) {
        skip("POLYLINE (mesh)");
        return true;
    }
    const bool wcs = (p.flags & 8) != 0; // a 3D polyline: its vertices are world points
    if (!wcs && !planar(p.normal)) {
        skip("POLYLINE (not in the x-y plane)");
        return true;
    }
    if (p.paper) {
        ++result_.drawing.paperSpace;
        return true;
    }
    if (!wcs && p.normal[2] < 0)
        for (DxfPoint& q : p.points) q.x = -q.x;
    result_.drawing.arcSegments += arcSegments(p.bulges, p.points.size(), (p.flags & 1) != 0);
    keep(p.layer, (p.flags & 1) != 0, std::move(p.points));
    return true;
}

bool Reader::finishEntity() {
    Entity& e = entity_;
    if (e.type.empty()) return true;
    std::string type;
    type.swap(e.type);
    if (type == "VERTEX" && inPolyline_) {
        if (!e.has[0] || !e.has[1])
            return fail(DxfStatus::kMalformed, e.line, "a VERTEX without its x (10) or y (20)");
        // Control points of a spline frame (16) are not on the line drawn.
        if (!(e.flags & 16)) {
            if (!e.bulges.empty()) polyline_.bulges.push_back(polyline_.points.size());
            polyline_.points.push_back(e.a);
        }
        return true;
    }
    if (type == "SEQEND" && inPolyline_) return finishPolyline();
    if (inPolyline_ && !finishPolyline()) return false;
    // The end of the attributes of a block reference: no entity of its own.
    if (type == "SEQEND") return true;
    if (type == "POLYLINE") {
        inPolyline_ = true;
        polyline_ = std::move(e);
        polyline_.points.clear();
        polyline_.bulges.clear();
        return true;
    }
    if (type == "LINE") {
        if (!(e.has[0] && e.has[1] && e.has[2] && e.has[3]))
            return fail(DxfStatus::kMalformed, e.line, "a LINE without both of its points");
        if (e.paper) {
            ++result_.drawing.paperSpace;
            return true;
        }
        keep(e.layer, false, {e.a, e.b});
        return true;
    }
    if (type == "LWPOLYLINE") {
        if (e.yMissing)
            return fail(DxfStatus::kMalformed, e.line, "an LWPOLYLINE vertex without its y (20)");
        if (e.declared >= 0 && e.declared != static_cast<long long>(e.points.size()))
            return fail(DxfStatus::kMalformed, e.line,
                        "an LWPOLYLINE that says " + std::to_string(e.declared) +
                            " vertices and has " + std::to_string(e.points.size()));
        if (!planar(e.normal)) {
            skip("LWPOLYLINE (not in the x-y plane)");
            return true;
        }
        if (e.paper) {
            ++result_.drawing.paperSpace;
            return true;
        }
        if (e.normal[2] < 0)
            for (DxfPoint& q : e.points) q.x = -q.x;
        result_.drawing.arcSegments += arcSegments(e.bulges, e.points.size(), (e.flags & 1) != 0);
        keep(e.layer, (e.flags & 1) != 0, std::move(e.points));
        return true;
    }
    skip(type);
    return true;
}

DxfReadResult Reader::run() {
    enum class Where { kTop, kSectionName, kHeader, kEntities, kOther };
    Where where = Where::kTop;
    int code = 0;
    std::string_view value;
    for (;;) {
        switch (pairs_.next(code, value)) {
        case PairReader::kEnd:
        case PairReader::kCutShort:
            fail(DxfStatus::kTruncated, pairs_.lineNo(), "the file ends before 0 EOF");
            return std::move(result_);
        case PairReader::kBadCode:
            fail(DxfStatus::kMalformed, pairs_.codeLine(), "no group code where one belongs");
            return std::move(result_);
        case PairReader::kPair:
            break;
        }
        if (code == 999) continue; // a comment
        bool ok = true;
        switch (where) {
        case Where::kTop:
            if (code == 0 && value == "EOF") {
                result_.status = DxfStatus::kRead;
                for (auto& [type, n] : skipped_) result_.drawing.skipped.emplace_back(type, n);
                return std::move(result_);
            }
            if (code != 0 || value != "SECTION")
                ok = fail(DxfStatus::kMalformed, pairs_.codeLine(),
                          quoted(value, "where a SECTION belongs"));
            where = Where::kSectionName;
            break;
        case Where::kSectionName:
            if (code != 2) {
                ok = fail(DxfStatus::kMalformed, pairs_.codeLine(), "a SECTION without its name");
                break;
            }
            where = value == "HEADER"     ? Where::kHeader
                    : value == "ENTITIES" ? Where::kEntities
                                          : Where::kOther;
            break;
        case Where::kHeader:
        case Where::kOther:
        case Where::kEntities:
            if (code == 0 && value == "ENDSEC") {
                if (where == Where::kEntities)
                    ok = finishEntity() && (!inPolyline_ || finishPolyline());
                where = Where::kTop;
            } else if (code == 0 && value == "EOF") {
                ok = fail(DxfStatus::kMalformed, pairs_.codeLine(), "0 EOF inside a section");
            } else if (where == Where::kHeader) {
                ok = header(code, value);
            } else if (where == Where::kEntities) {
                if (code == 0) {
                    ok = finishEntity();
                    entity_ = Entity{};
                    entity_.type = std::string(value.substr(0, 64));
                    entity_.line = pairs_.codeLine();
                } else if (!entity_.type.empty()) {
                    ok = entity_.type == "VERTEX" && inPolyline_ ? vertexValue(code, value)
                                                                 : entityValue(code, value);
                }
            }
            break;
        }
        if (!ok) return std::move(result_);
    }
}

struct UnitEntry {
    int code;
    double metres;
    const char* name;
};

// The drawing units of $INSUNITS.
constexpr UnitEntry kUnits[] = {
    {1, 0.0254, "in"},
    {2, 0.3048, "ft"},
    {3, 1609.344, "mi"},
    {4, 0.001, "mm"},
    {5, 0.01, "cm"},
    {6, 1.0, "m"},
    {7, 1000.0, "km"},
    {8, 2.54e-8, "microinch"},
    {9, 2.54e-5, "mil"},
    {10, 0.9144, "yd"},
    {11, 1e-10, "angstrom"},
    {12, 1e-9, "nm"},
    {13, 1e-6, "micron"},
    {14, 0.1, "dm"},
    {15, 10.0, "dam"},
    {16, 100.0, "hm"},
    {17, 1e9, "Gm"},
    {18, 1.495978707e11, "AU"},
    {19, 9.4607304725808e15, "light year"},
    {20, 3.0856775814913673e16, "parsec"},
    {21, 1200.0 / 3937.0, "US survey ft"},
    {22, 100.0 / 3937.0, "US survey in"},
    {23, 3600.0 / 3937.0, "US survey yd"},
    {24, 6336000.0 / 3937.0, "US survey mi"},
};

const UnitEntry* unitOf(int code) {
    for (const UnitEntry& u : kUnits)
        if (u.code == code) return &u;
    return nullptr;
}

} // namespace

DxfReadResult readDxf(std::string_view text) {
    if (text.substr(0, kBinarySentinel.size()) == kBinarySentinel) {
        DxfReadResult r;
        r.status = DxfStatus::kBinary;
        r.line = 1;
        r.problem = "a binary DXF file";
        return r;
    }
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3); // a byte-order mark
    return Reader(text).run();
}

double dxfUnitMetres(int insunits) {
    const UnitEntry* u = unitOf(insunits);
    return u ? u->metres : 0.0;
}

std::string dxfUnitName(int insunits) {
    const UnitEntry* u = unitOf(insunits);
    return u ? u->name : "";
}

std::string dxfSkippedSummary(const DxfDrawing& d) {
    if (d.skipped.empty()) return "";
    std::string s = "Skipped:";
    for (std::size_t i = 0; i < d.skipped.size(); ++i)
        s += (i ? ", " : " ") + std::to_string(d.skipped[i].second) + " " + d.skipped[i].first;
    return s;
}

} // namespace files
