// The envelope of the results over the combinations (or over the cases of a
// model without combinations): at every point of every member the largest
// and the smallest axial force, shear force and bending moment with the
// combination that governs each and the other two forces of that same
// combination there; per node the largest and smallest displacement and
// reaction components. Combination results are factored sums of the case
// results, exact for a linear analysis. A pattern case counts member by
// member: each loaded member's share of it is added only where it makes the
// max larger or the min smaller (docs/envelope.md). Plain data in and out:
// the caller hands the stored case results in analysis numbering order.
#pragma once

#include "analysis/analysis.h"
#include "attrib/attrib.h"
#include "attrib/cases.h"
#include "model/entities.h"
#include "results/diagram.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace results {

// The results of one load case in analysis numbering order; in second order
// also those of a combination, solved from its own loads.
struct CaseData {
    int id = 0;
    const double* displacements = nullptr; // Dx Dy Rz per node
    const double* endForces = nullptr;     // N1 V1 M1 N2 V2 M2 per member
    const double* reactions = nullptr;     // Fx Fy Mz per supported node, in reaction order
    // The member loads these results carry (for the diagrams between the
    // ends): empty for those of case `id` itself, else factored cases.
    std::vector<attrib::CaseFactor> loads;
};

// The frame in numbering order (member m is members[m - 1]) and how many
// supported nodes have reactions.
struct EnvelopeFrame {
    std::vector<const Edge*> members;
    std::vector<const Vertex*> nodes;
    int reactions = 0;
};

// The envelope is sampled at this many equal intervals along each member,
// plus the exact extremes of every combination.
constexpr int kEnvelopeIntervals = 20;

// The shares of one pattern case summed at the sample points of every
// member: for each of N, V, M the sum of the positive and of the negative
// share values, with the summed end forces of the shares in each sum (so the
// governing loading is known exactly), and per node and reaction component
// the positive and negative sums. Filled share by share as the analysis
// solves them.
class PatternSums {
public:
    PatternSums(const EnvelopeFrame& frame, int loadCase);
    int loadCase() const { return case_; }
    // One share: the loads of the case on member `member` (analysis number;
    // 0 for its nodal forces and prescribed displacements) and its results.
    void add(int member, const double* displacements, const double* endForces,
             const double* reactions);
    // Memory the sums take, bytes.
    std::size_t bytes() const;

    // A sum at sample point i (0 to kEnvelopeIntervals) of member index mi
    // for kind k (0 axial, 1 shear, 2 bending); positive or negative shares.
    struct Sum {
        double value = 0;
        double slope = 0; // while shares are added: the change of value with x
        double endForces[6] = {};
        bool ownLoad = false; // the member's own share is in the sum
    };
    const Sum& sum(std::size_t mi, int i, int k, bool positive) const;
    double nodeSum(std::size_t node, int component, bool positive) const;
    double reactionSum(std::size_t reaction, int component, bool positive) const;

private:
    // The sample points of one member, kind and sign, and one more entry
    // that ends the differences of the last point.
    static constexpr int kBlock = kEnvelopeIntervals + 2;
    static std::size_t index(std::size_t mi, int k, int i, bool positive);
    static void accumulate(Sum& to, double a, double b, const double* ef, double sign);
    // Turns the differences into the sums at the points (once, at the
    // first read).
    void finish() const;

    const EnvelopeFrame* frame_;
    int case_;
    mutable std::vector<Sum> sums_;  // per block: differences, then the sums
    mutable std::vector<Sum> whole_; // per block: the shares over the whole member
    mutable bool finished_ = false;
    std::vector<double> lengths_;
    std::vector<double> nodes_, reactions_;
};

// One extreme: where, how much (signed as shown values are), which
// combination governs (its id), whether pattern shares were picked, and
// the three forces of that loading at that point (shown signs).
struct EnvelopeValue {
    double x = 0, value = 0;
    int combo = 0;
    bool pattern = false;
    double N = 0, V = 0, M = 0;
};

// The envelope of one member for one kind: the max and min curves as
// ordinates (the drawing's sign, closing points on the axis at both ends),
// the values at both ends and the extremes along the member.
struct MemberEnvelope {
    MemberCurve max, min;
    EnvelopeValue maxEnd[2], minEnd[2];
    EnvelopeValue maxAlong, minAlong;
};

struct NodeEnvelope {
    double max[3] = {}, min[3] = {};
    int maxCombo[3] = {}, minCombo[3] = {};
};

struct Envelope {
    ResultKind kind = ResultKind::None;
    double largest = 0;              // greatest |value| over every member
    std::vector<MemberInput> inputs; // geometry of each member (numbering order)
    std::vector<MemberEnvelope> members;
    std::vector<NodeEnvelope> displacements; // per node
    std::vector<NodeEnvelope> reactions;     // per supported node
};

// The combinations of the envelope, each with its id and factors.
using EnvelopeCombos = std::vector<attrib::EnvelopeMember>;

// Computes the envelope of `kind` (axial, shear or bending; the node values
// are computed for every kind). `cases` holds every case of the model;
// `patterns` the share sums of the cases flagged pattern (a pattern case
// without sums counts whole).
void computeEnvelope(Envelope& env, const EnvelopeFrame& frame, const std::vector<CaseData>& cases,
                     const EnvelopeCombos& combos, const std::vector<const PatternSums*>& patterns,
                     ResultKind kind);
// The same for `count` kinds at once, envs[i] of kinds[i], each member prepared once; the node
// values go into envs[0] only.
void computeEnvelopes(Envelope* envs, const ResultKind* kinds, int count,
                      const EnvelopeFrame& frame, const std::vector<CaseData>& cases,
                      const EnvelopeCombos& combos,
                      const std::vector<const PatternSums*>& patterns);

// The envelope of member index mi at position x (snapped to the nearest
// sample point when pattern shares count): max and min of every kind.
struct EnvelopePoint {
    double x = 0;
    EnvelopeValue max[3], min[3]; // axial, shear, bending
};
EnvelopePoint envelopeAt(const EnvelopeFrame& frame, const std::vector<CaseData>& cases,
                         const EnvelopeCombos& combos,
                         const std::vector<const PatternSums*>& patterns, std::size_t mi, double x);

// The stored results of the last analysis as the envelope reads them: the
// frame in numbering order, each case's results with its support
// reactions, and the share sums of the pattern cases, which the analysis
// fills share by share (addShare) before the cases are read.
struct EnvelopeInput {
    EnvelopeFrame frame;
    std::vector<CaseData> cases;
    std::vector<std::vector<double>> reactions; // per case: Fx Fy Mz per supported node
    std::vector<analysis::Reaction> supports;   // the supported nodes, in reaction order
    bool secondOrder = false;                   // cases then combinations, each on its own
    std::vector<std::unique_ptr<PatternSums>> patterns;
    // The member ends at supported nodes, for the reactions of each share:
    // member index, end (0 or 1), reaction index, direction cosines.
    struct SupportEnd {
        std::size_t member = 0;
        int end = 0, reaction = 0;
        double c = 1, s = 0;
    };
    std::vector<SupportEnd> supportEnds;
    std::vector<const PatternSums*> patternList() const;
    std::size_t patternBytes() const;
};
// Empties it (before an analysis, or when the model goes).
void clearEnvelopeInput(EnvelopeInput& in);
// One share of pattern case `loadCase`, from the driver's share callback.
void addShare(EnvelopeInput& in, const analysis::Numbering& n, int loadCase, int member,
              const analysis::CaseResults& share);
// The run options that gather the shares of the model's pattern cases
// into `in` (emptied first); no callback when no case is a pattern case.
analysis::RunOptions gatherShares(EnvelopeInput& in, Solid* model,
                                  const attrib::AttributeRoot& root);
// Reads the cases of the driver's stored results (keeping the share sums of a
// linear analysis). Second-order results are not superposed: each
// combination's own results follow the cases as one more case (its id, its
// factored loads), and there are no pattern shares (a pattern case counts
// whole).
void readStoredResults(EnvelopeInput& in, const analysis::StoredResults& s);
// The combinations of the envelope as `in` holds their results: those of the
// root, or after a second-order analysis each with its own results (factor 1).
EnvelopeCombos envelopeCombos(const EnvelopeInput& in, const attrib::AttributeRoot& root);

// The input of a member from explicit results (6 end forces, the end
// displacements Dx Dy Rz of both ends) and the loads of the factored cases.
MemberInput memberInputFrom(const Edge* e, const std::vector<attrib::CaseFactor>& loads,
                            const double* endForces, const double* d1, const double* d2);

} // namespace results
