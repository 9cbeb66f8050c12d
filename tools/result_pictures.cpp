// kestrel-result-pictures: the documentation picture of the result display.
// Reads a model file, analyses it through the analysis driver and draws,
// side by side into one PNG, its bending moment diagram with values, its
// deformed configuration and its reactions with values, each drawn by the
// model drawing pass into the Qt screen driver (offscreen):
//   kestrel-result-pictures MODEL.kst OUT.png
#include "analysis/analysis.h"
#include "attrib/attrib.h"
#include "files/modelfile.h"
#include "gfx/qt/qtcanvas.h"
#include "model/model.h"
#include "results/display.h"
#include "results/resultset.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace {

constexpr int kW = 560, kH = 460;

void extent(const Solid* s, double& x0, double& x1, double& y0, double& y1) {
    x0 = y0 = 1e300, x1 = y1 = -1e300;
    for (const Vertex* v = s->vertices; v; v = v->next) {
        x0 = std::min(x0, v->x), x1 = std::max(x1, v->x);
        y0 = std::min(y0, v->y), y1 = std::max(y1, v->y);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: kestrel-result-pictures MODEL.kst OUT.png\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    mdl_reset();
    attrib::state().reset();
    mdl_register_hooks(&attrib::hooks());
    mdl_set_tolerance(1e-3);
    files::ReadResult r = files::readModelFile(argv[1], attrib::initialSettings());
    if (r.status != files::ReadStatus::kModel) {
        std::fprintf(stderr, "kestrel-result-pictures: cannot read %s\n", argv[1]);
        return 1;
    }
    attrib::state().root = std::move(r.root);
    attrib::AppSettings settings = r.settings;
    Solid* s = r.model;
    // The analysis files go to a scratch copy of the model's name.
    const std::string scratch =
        (std::filesystem::temp_directory_path() / "kestrel-result-pictures.kst").string();
    analysis::resetResults(s);
    const analysis::RunOutcome out = analysis::runAnalysis(s, attrib::root(), scratch);
    if (out.status != analysis::RunStatus::kSolved) {
        std::fprintf(stderr, "kestrel-result-pictures: %s\n", out.message.c_str());
        return 1;
    }
    const analysis::ResultState& rs = analysis::resultState();
    std::vector<results::Reaction> reactions;
    for (const analysis::Reaction& x : analysis::supportReactions(out.numbering))
        reactions.push_back({x.node->x, x.node->y, x.fx, x.fy, x.mz, x.hasFx, x.hasFy, x.hasMz});

    double x0, x1, y0, y1;
    extent(s, x0, x1, y0, y1);
    const double m = 0.22 * std::max(x1 - x0, y1 - y0);
    const attrib::ColorScheme colors = attrib::makeScheme(attrib::kWhiteBackground);
    QImage sheet(3 * kW, kH, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    const struct {
        results::ResultKind kind;
        bool values, reactions;
    } panels[] = {{results::ResultKind::Bending, true, false},
                  {results::ResultKind::Deformed, false, false},
                  {results::ResultKind::None, false, true}};
    for (int i = 0; i < 3; ++i) {
        gfx::QtCanvas c(kW, kH);
        const double cx = 0.5 * (x0 + x1), cy = 0.5 * (y0 + y1);
        const double half = 0.5 * std::max(x1 - x0, y1 - y0) + m;
        c.setWindow(cx - half * kW / kH, cx + half * kW / kH, cy - half, cy + half);
        results::ResultCurves rc;
        results::computeCurves(rc, s, panels[i].kind, rs.precisionStep);
        results::ResultDrawing rd;
        rd.curves = &rc;
        rd.diagramSize = 0.6 * rs.diagramSize;
        rd.reactions = reactions;
        attrib::AppSettings st = settings;
        st.result.on = 1;
        st.result.kind = static_cast<int>(panels[i].kind);
        st.display[attrib::kResultValues] = panels[i].values;
        st.display[attrib::kStepValues] = 0;
        st.display[attrib::kReactions] = panels[i].reactions;
        st.display[attrib::kReactionValues] = panels[i].reactions;
        st.display[attrib::kLoadWithResults] = 0;
        results::DisplayInput in{s, &attrib::root(), &st, &colors, &rd};
        results::drawModel(c, in);
        c.flush();
        p.drawImage(i * kW, 0, c.front());
        p.setPen(Qt::gray);
        p.drawRect(i * kW, 0, kW - 1, kH - 1);
        static const char* const kTitles[] = {"Bending moment", "Deformed configuration",
                                              "Support reactions"};
        p.setPen(Qt::black);
        p.drawText(i * kW + 10, 20, kTitles[i]);
    }
    p.end();
    if (!sheet.save(argv[2])) {
        std::fprintf(stderr, "kestrel-result-pictures: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
