// The stability runs of the model: number, write the neutral file, call the engine's second
// order, buckling or vibration entry, remove the neutral file.
#include "analysis/stability.h"

#include "attrib/blocks.h"
#include "attrib/cases.h"
#include "attrib/section.h"

#include <cstdio>

namespace analysis {

namespace {

constexpr double kGravity = 9.81; // m/s2

enum class Kind { kSecondOrder, kBuckling, kVibration };

// Per member number: specific weight x area / g (t/m).
std::vector<double> massPerLength(const Numbering& n) {
    std::vector<double> mass(n.members.size(), 0.0);
    for (std::size_t i = 0; i < n.members.size(); ++i) {
        const attrib::MemberAttrib* a = attrib::memberOf(n.members[i]);
        if (!a) continue;
        // As the self-weight load: the material's value and the section's own area.
        const attrib::ValueBlock* material = attrib::valuesOf(a->blocks[attrib::kMaterial]);
        const attrib::Section* section = attrib::sectionOf(a->blocks[attrib::kSection]);
        if (!material || !section) continue;
        mass[i] =
            material->values[attrib::kSpecificWeight] * attrib::sectionArea(*section) / kGravity;
    }
    return mass;
}

// Each combination of the model as the engine takes it: case indices and factors.
std::vector<std::vector<kestrel::engine::FactoredCase>>
factoredCombinations(const attrib::AttributeRoot& root) {
    std::vector<std::vector<kestrel::engine::FactoredCase>> out;
    for (const attrib::Combination& combo : root.combos) {
        std::vector<kestrel::engine::FactoredCase> factored;
        for (const attrib::CaseFactor& f : combo.factors)
            if (const int at = attrib::caseIndex(root, f.loadCase); at >= 0)
                factored.push_back({at, f.factor});
        out.push_back(std::move(factored));
    }
    return out;
}

StabilityOutcome run(Solid* model, const attrib::AttributeRoot& root, const std::string& path,
                     Kind kind, int modes) {
    namespace engine = kestrel::engine;
    StabilityOutcome out;
    out.numbering = numberModel(model);
    const std::string dat = analysisFileName(path, "dat");
    std::string text;
    if (!writeModelSection(text, out.numbering, root)) {
        out.message = kMsgCannotWrite;
        return out;
    }
    if (!writeAnalysisInput(dat, text, &out.message)) return out;
    int code = engine::kAnalyseSolved;
    std::string fatal;
    if (kind == Kind::kSecondOrder) {
        engine::SecondOrderOptions options;
        options.combinations = factoredCombinations(root);
        code = engine::AnalyseSecondOrder(dat.c_str(), &fatal, &out.second, &options);
    } else {
        engine::EigenOptions options;
        options.modes = modes;
        // Buckling: every case, then every combination; vibration: the frame once.
        const std::vector<std::vector<engine::FactoredCase>> combos =
            kind == Kind::kBuckling ? factoredCombinations(root)
                                    : std::vector<std::vector<engine::FactoredCase>>{};
        const std::size_t runs = kind == Kind::kBuckling ? root.cases.size() + combos.size() : 1;
        if (kind == Kind::kVibration) options.mass_per_length = massPerLength(out.numbering);
        for (std::size_t c = 0; c < runs && code == engine::kAnalyseSolved; ++c) {
            if (c < root.cases.size())
                options.load_case = static_cast<int>(c);
            else
                options.combination = combos[c - root.cases.size()];
            out.eigen.emplace_back();
            code = kind == Kind::kBuckling
                       ? engine::AnalyseBuckling(dat.c_str(), options, &out.eigen.back(), &fatal)
                       : engine::AnalyseVibration(dat.c_str(), options, &out.eigen.back(), &fatal);
        }
    }
    std::remove(dat.c_str());
    if (code == engine::kAnalyseFatal) {
        out.status = RunStatus::kFatal;
        out.message = fatal;
    } else if (code == engine::kAnalyseSingular) {
        out.status = RunStatus::kUnstable;
        out.message = fatal.empty() ? std::string(kMsgUnstable) : "\n   " + fatal + "   \n";
    } else {
        out.status = RunStatus::kSolved;
    }
    return out;
}

} // namespace

StabilityOutcome runSecondOrder(Solid* model, const attrib::AttributeRoot& root,
                                const std::string& modelPath) {
    return run(model, root, modelPath, Kind::kSecondOrder, 0);
}

StabilityOutcome runBuckling(Solid* model, const attrib::AttributeRoot& root,
                             const std::string& modelPath, int modes) {
    return run(model, root, modelPath, Kind::kBuckling, modes);
}

StabilityOutcome runVibration(Solid* model, const attrib::AttributeRoot& root,
                              const std::string& modelPath, int modes) {
    return run(model, root, modelPath, Kind::kVibration, modes);
}

} // namespace analysis
