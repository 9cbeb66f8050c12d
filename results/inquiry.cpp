// The inquiry texts (see inquiry.h).
#include "results/inquiry.h"

#include "analysis/analysis.h"
#include "attrib/blocks.h"
#include "attrib/cases.h"
#include "attrib/section.h"
#include "attrib/supports.h"
#include "results/influence.h"
#include "units/numformat.h"
#include "units/units.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace results {

using namespace units;

namespace {

// " Load Case: LABEL" and a line break when the model has several cases:
// the texts then say which case they show.
// The case whose loads the attribute texts show, named when the model has
// several cases; for the result texts, what the results show (a case or a
// combination).
std::string caseOnlyLine(bool results) {
    const attrib::AttributeRoot& r = attrib::root();
    // The envelope's records hold the combination of the largest displacement.
    if (results && r.shown == attrib::kEnvelope)
        return " Envelope, largest\n displacement:\n  " + attrib::labelOf(r, r.envelopeRecords) +
               "\n";
    if (results && r.shown > 0)
        if (const attrib::Combination* c = attrib::findCombination(r, r.shown))
            return " Combination: " + c->label + "\n";
    const attrib::LoadCase* c = attrib::findCase(r, r.activeCase);
    return r.cases.size() > 1 && c ? " Load Case: " + c->label + "\n" : "";
}

std::string caseLine(bool results = false) {
    // Results of the second-order analysis say so first; linear ones say nothing.
    if (results && analysis::storedResults().secondOrder)
        return std::string(kSecondOrderLine) + caseOnlyLine(results);
    return caseOnlyLine(results);
}

// Digits before the point beyond which an inquiry value leaves its box.
constexpr std::size_t kMaxWholeDigits = 15;

// A value in the number format of the code, as everywhere else, unless its
// fixed-point text would hold more than kMaxWholeDigits digits before the
// point: then in exponent form with the format's decimals ("%.2f" prints
// 1.2345e25 as "1.23e+25"), so that it stays inside the inquiry box.
std::string inquiryNumber(int formatCode, double v) {
    std::string text = formatNumber(formatCode, v);
    const std::size_t start = text[0] == '-' ? 1 : 0;
    const std::size_t point = text.find('.');
    const std::size_t whole = (point == std::string::npos ? text.size() : point) - start;
    const std::string_view fmt = numberFormat(formatCode); // "%.Nf" or "%.Ne"
    if (whole <= kMaxWholeDigits || fmt.back() != 'f' || !std::isfinite(v)) return text;
    // As formatNumber() prints, in the "C" locale whatever the process's.
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific,
                                 std::atoi(fmt.data() + 2));
    return std::string(buf, r.ptr);
}

// A value with its unit label, " = " before it: "  x = 1.00 m\n".
struct Writer {
    const attrib::AppSettings& s;
    std::string out;
    std::string value(int unit, int format, double v) const {
        return withoutZeroSign(bare(unit, format, v) + ' ' + unitLabelUtf8(s.units[unit]));
    }
    std::string bare(int unit, int format, double v) const {
        return withoutZeroSign(inquiryNumber(s.formats[format], toDisplay(s.units[unit], v)));
    }
    void line(const char* head, int unit, int format, double v, bool newline = true) {
        out += head;
        out += value(unit, format, v);
        if (newline) out += '\n';
    }
};

// The title of the texts of an internal force, nullptr for another kind.
const char* forceName(ResultKind kind) {
    return kind == ResultKind::Axial     ? "Axial Force"
           : kind == ResultKind::Shear   ? "Shear Force"
           : kind == ResultKind::Bending ? "Bending Moment"
                                         : nullptr;
}

constexpr const char* kStepRequest =
    "\n\n Define a reasonable\n step value to get\n results along member.";

// The values along a member under the head "x [unit]\t<column> [label]", one
// line "x\tvalue" a step, or the request for a reasonable step without any.
template <class ValueText>
void alongMember(Writer& w, ResultKind kind, const std::string& label,
                 const std::vector<StepValue>& steps, ValueText valueText) {
    if (steps.empty()) {
        w.out += kStepRequest;
        return;
    }
    const char* column = kind == ResultKind::Axial   ? "Axial\n \tForce ["
                         : kind == ResultKind::Shear ? "Shear\n \tForce ["
                                                     : "Bending\n \tMoment [";
    w.out += "\n\n Results Along Member:\n x [" + units::unitLabelUtf8(w.s.units[kLengthUnit]) +
             "]\t" + column + label + "]";
    for (const StepValue& v : steps)
        w.out += "\n " + w.bare(kLengthUnit, kLengthFormat, v.x) + "\t" + valueText(v.value);
}

const char* conditionWord(char c) {
    return c == attrib::kFixed ? "Fixed" : c == attrib::kSpring ? "Spring" : "Free";
}

const attrib::ValueBlock* block(attrib::PropertyBlock* b) {
    return attrib::valuesOf(static_cast<const attrib::PropertyBlock*>(b));
}

} // namespace

std::string totalsText(bool haveModel, int nodes, int members) {
    if (!haveModel || nodes <= 0) return "\n The structure is not defined. \n";
    std::string t = "\n Number of Nodes : " + std::to_string(nodes) + "\n";
    if (members <= 0) return t + "\n No member defined. \n";
    return t + "\n Number of Members : " + std::to_string(members) + "\n";
}

std::string nodeAttribText(const attrib::AppSettings& s, double x, double y,
                           const attrib::NodeAttrib& a) {
    Writer w{s, {}};
    w.out = " Node\n Attributes\n\n Coordinates:\n";
    w.line("  x = ", kLengthUnit, kLengthFormat, x);
    w.line("  y = ", kLengthUnit, kLengthFormat, y);
    const bool supported = attrib::hasSupport(a);
    bool spring = false;
    for (char c : a.support) spring = spring || c == attrib::kSpring;
    auto conditions = [&] {
        w.out += " Support\n Conditions:\n";
        w.out += std::string("  Dx: ") + conditionWord(a.support[0]) + "\n";
        w.out += std::string("  Dy: ") + conditionWord(a.support[1]) + "\n";
        w.out += std::string("  Rz: ") + conditionWord(a.support[2]) + "\n";
    };
    // Prescribed values and loads are those of the case shown.
    const int loadCase = attrib::activeCase();
    w.out += caseLine();
    const attrib::NodeLoads* loads = attrib::loadsOf(a, loadCase);
    const bool prescribed = loads && loads->prescribedFlag;
    if (!supported || (spring && !prescribed)) {
        conditions();
        if (supported) {
            w.out += "\n Spring\n Stiffness:\n";
            w.line("  KDx = ", kTranslatSpringUnit, kTranslatSpringFormat, a.spring[0]);
            w.line("  KDy = ", kTranslatSpringUnit, kTranslatSpringFormat, a.spring[1]);
            w.line("  KRz = ", kRotationSpringUnit, kRotationSpringFormat, a.spring[2]);
        }
    } else {
        char angle[64];
        std::snprintf(angle, sizeof angle, "%1.f", a.inclination);
        w.out += std::string(" Inclination\n  Angle: ") + angle + " deg\n";
        conditions();
        if (!prescribed) {
            w.out += " No Prescribed\n Displacement\n";
        } else {
            auto v = [&](int i) {
                return a.support[i] == attrib::kFixed ? loads->prescribed[i] : 0.0;
            };
            w.out += " Prescribed\n Displacements:\n";
            w.line("  Dx = ", kDisplacementUnit, kDisplacementFormat, v(0));
            w.line("  Dy = ", kDisplacementUnit, kDisplacementFormat, v(1));
            w.line("  Rz = ", kRotationUnit, kRotationFormat, v(2));
        }
    }
    if (const auto* f = block(loads ? loads->force : nullptr)) {
        w.out += std::string(" Nodal Forces: ") + f->label + "\n";
        w.line("  Fx = ", kForceUnit, kForceFormat, f->values[0]);
        w.line("  Fy = ", kForceUnit, kForceFormat, f->values[1]);
        w.line("  Mz = ", kMomentUnit, kMomentFormat, f->values[2], false);
    } else {
        w.out += " Nodal Forces:\n  None.";
    }
    return w.out;
}

std::string memberAttribText(const attrib::AppSettings& s, double L,
                             const attrib::MemberAttrib& a) {
    Writer w{s, {}};
    w.out = " Member\n Attributes\n\n";
    w.line(" Length = ", kLengthUnit, kLengthFormat, L);
    if (const auto* m = block(a.blocks[attrib::kMaterial])) {
        w.out += std::string(" Material: ") + m->label + "\n";
        w.line("  E = ", kElasticParamUnit, kElasticParamFormat, m->values[attrib::kElasticity]);
        w.line("  gama = ", kSpecificWeightUnit, kSpecificWeightFormat,
               m->values[attrib::kSpecificWeight]);
        w.line("  alpha = ", kThermalExpanUnit, kThermalExpanFormat,
               m->values[attrib::kThermalExpansion]);
    } else {
        w.out += " Material:\n  Not defined.\n";
    }
    if (const attrib::Section* sec = attrib::sectionOf(a.blocks[attrib::kSection])) {
        w.out += std::string(" Section: ") + a.blocks[attrib::kSection]->label + "\n";
        w.out += "  Type: " + attrib::sectionTypeName(*sec) + "\n";
        w.out += attrib::sectionDescription(*sec);
        w.line("  A = ", kSectionAreaUnit, kSectionAreaFormat, attrib::sectionArea(*sec));
        w.line("  I = ", kSectionInertiaUnit, kSectionInertiaFormat, attrib::sectionInertia(*sec));
        w.line("  depth = ", kSectionSizeUnit, kSectionSizeFormat, attrib::sectionDepth(*sec));
        w.line("  ygc = ", kSectionSizeUnit, kSectionSizeFormat, attrib::sectionYgc(*sec));
    } else {
        w.out += " Section:\n  Not defined.\n";
    }
    w.out += a.rigid     ? " Constraint:\n  Rigid member.\n"
             : a.noAxial ? " Constraint:\n  No axial deformation.\n"
                         : " Constraint:\n  None.\n";
    // The loads of the case shown, named when the model has several.
    const int loadCase = attrib::activeCase();
    w.out += caseLine();
    if (const double q = attrib::selfWeightLoad(attrib::root(), a, loadCase); q != 0)
        w.line(" Self-Weight: q = ", kDistribLoadUnit, kDistribLoadFormat, -q);
    if (const auto* e = block(attrib::loadBlock(a, attrib::kEndMoments, loadCase))) {
        w.out += std::string(" End Moments: ") + e->label + "\n";
        w.line("  Ma = ", kMomentUnit, kMomentFormat, e->values[0]);
        w.line("  Mb = ", kMomentUnit, kMomentFormat, e->values[1]);
    } else {
        w.out += " End Moments:\n  None.\n";
    }
    auto dir = [](const attrib::ValueBlock* b) { return b->direction == 1 ? "Local" : "Global"; };
    if (const auto* u = block(attrib::loadBlock(a, attrib::kUniform, loadCase))) {
        w.out += std::string(" Uniform Load: ") + u->label + "\n  Dir: " + dir(u) + "\n";
        w.line("  Qx = ", kDistribLoadUnit, kDistribLoadFormat, u->values[0]);
        w.line("  Qy = ", kDistribLoadUnit, kDistribLoadFormat, u->values[1]);
    } else if (const auto* l = block(attrib::loadBlock(a, attrib::kLinear, loadCase))) {
        w.out += std::string(" Linear Load: ") + l->label + "\n  Dir: " + dir(l) + "\n";
        static const char* heads[] = {"  Pxi = ", "  Pyi = ", "  Pxj = ", "  Pyj = "};
        for (int i = 0; i < 4; ++i)
            w.line(heads[i], kDistribLoadUnit, kDistribLoadFormat, l->values[i]);
    } else {
        w.out += " Distributed Load:\n  None.\n";
    }
    if (const auto* t = block(attrib::loadBlock(a, attrib::kThermal, loadCase))) {
        w.out += std::string(" Thermal Load: ") + t->label + "\n";
        w.line("  Ty+ = ", kTemperatureUnit, kTemperatureFormat, t->values[0]);
        w.line("  Ty- = ", kTemperatureUnit, kTemperatureFormat, t->values[1], false);
    } else {
        w.out += " Thermal Load:\n  None.";
    }
    return w.out;
}

std::string nodeResultText(const attrib::AppSettings& s, bool supported, const double reactions[3],
                           const double displacements[3]) {
    Writer w{s, {}};
    w.out = "\n Node\n Results\n\n" + caseLine(true) + " Support\n Reactions:\n";
    if (supported) {
        w.line(" Fx = ", kForceUnit, kForceFormat, reactions[0]);
        w.line(" Fy = ", kForceUnit, kForceFormat, reactions[1]);
        w.line(" Mz = ", kMomentUnit, kMomentFormat, reactions[2]);
    } else {
        w.out += " None\n";
    }
    w.out += "\n Nodal\n Displacements:\n";
    w.line(" Dx = ", kDisplacementUnit, kDisplacementFormat, displacements[0]);
    w.line(" Dy = ", kDisplacementUnit, kDisplacementFormat, displacements[1]);
    w.line(" Rz = ", kRotationUnit, kRotationFormat, displacements[2], false);
    return w.out;
}

std::string memberResultText(const attrib::AppSettings& s, const MemberInput& m, ResultKind kind,
                             double h) {
    Writer w{s, {}};
    const double L = memberLength(m);
    const bool uniform = s.stepMode == 0;
    if (kind == ResultKind::Deformed) {
        const MemberInput d = deformationInput(m);
        auto end = [&](const char* head, double u, double wv, double t) {
            double dx = 0, dy = 0;
            toGlobal(m, u, wv, dx, dy);
            w.out += head;
            w.line("  Dx: ", kDisplacementUnit, kDisplacementFormat, dx);
            w.line("  Dy: ", kDisplacementUnit, kDisplacementFormat, dy);
            w.line("  Rz: ", kRotationUnit, kRotationFormat, t);
        };
        w.out = "\n Member\n Displacements\n and Rotations\n\n" + caseLine(true);
        end(" Init:\n", m.u1, m.w1, m.t1);
        end("\n End:\n", m.u2, m.w2, m.t2);
        const MemberCurve curve = sampleDeformed(d, h);
        w.line("\n Max. Transv.\n Displ.:\n  ", kDisplacementUnit, kDisplacementFormat,
               curve.extremeValue);
        w.line(" At local pos.:\n  x: ", kLengthUnit, kLengthFormat, curve.extremeX);
        w.line("  L: ", kLengthUnit, kLengthFormat, L, false);
        // Along the member: the global displacements at the step positions.
        std::vector<double> xs;
        for (const StepValue& v : stepValues(m, ResultKind::Axial, s.resultStep, uniform))
            xs.push_back(v.x);
        if (xs.empty()) return w.out + kStepRequest;
        w.out += "\n\n Results Along Member (in global system):\n x [" +
                 units::unitLabelUtf8(s.units[kLengthUnit]) + "]\tDispl.X [" +
                 units::unitLabelUtf8(s.units[kDisplacementUnit]) + "]\tDispl.Y [" +
                 units::unitLabelUtf8(s.units[kDisplacementUnit]) + "]";
        for (double x : xs) {
            double u = 0, wv = 0, dx = 0, dy = 0;
            displacementAt(d, x, u, wv);
            toGlobal(m, u, wv, dx, dy);
            w.out += "\n " + w.bare(kLengthUnit, kLengthFormat, x) + "\t" +
                     w.bare(kDisplacementUnit, kDisplacementFormat, dx) + "\t" +
                     w.bare(kDisplacementUnit, kDisplacementFormat, dy);
        }
        return w.out;
    }
    const char* title = forceName(kind);
    if (!title) return "";
    const bool moment = kind == ResultKind::Bending;
    const int unit = moment ? kMomentUnit : kForceUnit;
    const int format = moment ? kMomentFormat : kForceFormat;
    const double sign = kind == ResultKind::Shear ? 1.0 : valueSign(m, kind);
    w.out = std::string("\n Member\n ") + title + "\n Diagram Results\n\n" + caseLine(true);
    w.line(" Init: ", unit, format, sign * ordinate(m, kind, 0));
    w.line(" End: ", unit, format, sign * ordinate(m, kind, L), false);
    if (moment) {
        const std::vector<LocalExtreme> ex = bendingExtremes(m);
        auto M = [](const LocalExtreme& e) { return e.M; };
        if (ex.size() >= 2) {
            w.out += "\n\n Max. Local Values:\n";
            for (int i = 0; i < 2; ++i) {
                w.line("  M: ", unit, format, M(ex[i]), false);
                w.line("  x: ", kLengthUnit, kLengthFormat, ex[i].x);
            }
            w.line("  L: ", kLengthUnit, kLengthFormat, L, false);
        } else if (ex.size() == 1) {
            w.line("\n\n Max. Local\n Value: ", unit, format, M(ex[0]));
            w.line(" At local pos.:\n  x: ", kLengthUnit, kLengthFormat, ex[0].x);
            w.line("  L: ", kLengthUnit, kLengthFormat, L, false);
        }
    }
    alongMember(w, kind, units::unitLabelUtf8(s.units[unit]),
                stepValues(m, kind, s.resultStep, uniform),
                [&](double v) { return w.bare(unit, format, v); });
    return w.out;
}

namespace {

// The label of a combination of the envelope, marked when pattern shares
// were picked for it.
std::string governing(int combo, bool pattern) {
    const std::string label = attrib::labelOf(attrib::root(), combo);
    return pattern ? label + " (pattern)" : label;
}

} // namespace

std::string memberEnvelopeText(const attrib::AppSettings& s, ResultKind kind,
                               const EnvelopePoint& at, const MemberEnvelope& m) {
    const char* title = forceName(kind);
    if (!title) return "";
    const int k = static_cast<int>(kind) - 1;
    Writer w{s, std::string("\n Member\n ") + title + "\n Envelope\n"};
    auto value = [&](ResultKind of, double v) {
        return of == ResultKind::Bending ? w.value(kMomentUnit, kMomentFormat, v)
                                         : w.value(kForceUnit, kForceFormat, v);
    };
    // One extreme: its value, where (along the member), what governs it and
    // the other two forces of that loading.
    auto extreme = [&](const char* head, const EnvelopeValue& v, ResultKind of, bool where) {
        w.out += std::string("  ") + head + value(of, v.value) + "\n";
        if (where) w.line("   at x = ", kLengthUnit, kLengthFormat, v.x);
        w.out += "   " + governing(v.combo, v.pattern) + "\n";
        const double forces[3] = {v.N, v.V, v.M};
        static const char* const kNames[3] = {"   N = ", "   V = ", "   M = "};
        for (int o = 0; o < 3; ++o)
            if (o != static_cast<int>(of) - 1)
                w.out += kNames[o] + value(static_cast<ResultKind>(o + 1), forces[o]) + "\n";
    };
    w.out += "\n At x = " + w.value(kLengthUnit, kLengthFormat, at.x) + ":\n";
    extreme("Max: ", at.max[k], kind, false);
    extreme("Min: ", at.min[k], kind, false);
    w.out += "\n Along Member:\n";
    extreme("Max: ", m.maxAlong, kind, true);
    extreme("Min: ", m.minAlong, kind, true);
    w.out.pop_back();
    return w.out;
}

std::string nodeEnvelopeText(const attrib::AppSettings& s, const NodeEnvelope* reactions,
                             const bool carried[3], const NodeEnvelope& displacements) {
    Writer w{s, "\n Node\n Envelope\n\n Support\n Reactions:\n"};
    auto block = [&](const NodeEnvelope& e, const char* const names[3], const int units[3],
                     const int formats[3], const bool* shown) {
        for (int d = 0; d < 3; ++d) {
            if (shown && !shown[d]) continue;
            w.out += std::string(" ") + names[d] +
                     " max = " + w.value(units[d], formats[d], e.max[d]) + "\n   " +
                     governing(e.maxCombo[d], false) + "\n";
            w.out += std::string(" ") + names[d] +
                     " min = " + w.value(units[d], formats[d], e.min[d]) + "\n   " +
                     governing(e.minCombo[d], false) + "\n";
        }
    };
    static const char* const kForces[3] = {"Fx", "Fy", "Mz"};
    static const char* const kDisplacements[3] = {"Dx", "Dy", "Rz"};
    static const int kForceUnits[3] = {kForceUnit, kForceUnit, kMomentUnit};
    static const int kForceFormats[3] = {kForceFormat, kForceFormat, kMomentFormat};
    static const int kDisplUnits[3] = {kDisplacementUnit, kDisplacementUnit, kRotationUnit};
    static const int kDisplFormats[3] = {kDisplacementFormat, kDisplacementFormat, kRotationFormat};
    if (reactions)
        block(*reactions, kForces, kForceUnits, kForceFormats, carried);
    else
        w.out += " None\n";
    w.out += "\n Nodal\n Displacements:\n";
    block(displacements, kDisplacements, kDisplUnits, kDisplFormats, nullptr);
    w.out.pop_back();
    return w.out;
}

void toGlobal(const MemberInput& m, double u, double w, double& dx, double& dy) {
    const double L = memberLength(m);
    const double c = L > 0 ? (m.x2 - m.x1) / L : 1, s = L > 0 ? (m.y2 - m.y1) / L : 0;
    dx = c * u - s * w;
    dy = s * u + c * w;
}

std::string withoutZeroSign(std::string text) {
    if (!text.empty() && text[0] == '-') {
        const std::string number = text.substr(0, text.find(' '));
        const auto mantissa = number.substr(0, number.find_first_of("eE"));
        if (mantissa.find_first_of("123456789") == std::string::npos) text.erase(0, 1);
    }
    return text;
}

std::string influenceValueText(const attrib::AppSettings& s, ResultKind kind, double v,
                               bool withUnit) {
    if (kind != ResultKind::Bending)
        return withoutZeroSign(formatNumber(s.formats[kLengthFormat], v));
    const int unit = s.units[kLengthUnit], format = s.formats[kLengthFormat];
    return withoutZeroSign(withUnit ? textWithUnit(unit, format, v) : textBare(unit, format, v));
}

namespace {

// influenceValueText() for the inquiry text: huge ordinates in exponent form.
std::string influenceInquiryText(const attrib::AppSettings& s, ResultKind kind, double v,
                                 bool withUnit) {
    Writer w{s, {}};
    if (kind != ResultKind::Bending)
        return withoutZeroSign(inquiryNumber(s.formats[kLengthFormat], v));
    return withUnit ? w.value(kLengthUnit, kLengthFormat, v)
                    : w.bare(kLengthUnit, kLengthFormat, v);
}

} // namespace

std::string memberInfluenceText(const attrib::AppSettings& s, const MemberInput& m, ResultKind kind,
                                bool holdsSection, double a) {
    const char* title = forceName(kind);
    if (!title) return "";
    const bool moment = kind == ResultKind::Bending;
    auto end = [&](double x) {
        return influenceInquiryText(s, kind, influenceAt(m, kind, holdsSection, a, x), true);
    };
    Writer w{s, std::string("\n Member\n ") + title + "\n Influence Line\n\n Init: " + end(0) +
                    "\n End: " + end(memberLength(m)) + (moment ? "" : "\n")};
    // Axial and shear ordinates are ratios of forces; bending ones are lengths.
    alongMember(w, kind, moment ? units::unitLabelUtf8(s.units[kLengthUnit]) : "-",
                influenceStepValues(m, kind, holdsSection, a, s.resultStep, s.stepMode == 0),
                [&](double v) { return influenceInquiryText(s, kind, v, false); });
    return w.out;
}

} // namespace results
