// Kestrel's entry point. A normal run uses the Qt toolkit backend;
//   kestrel [model.kst]
//   kestrel --record JOURNAL [model.kst]   also writes the session's journal
//   kestrel --replay JOURNAL [model.kst]   runs the journal on the headless backend
//   kestrel --export OUT MODEL.kst [--result KIND] [--case LABEL] [--size WxH]
//                                          draws the model into a file, no window
//   kestrel --import-dxf IN.dxf OUT.kst [--layer NAME]... [--dxf-units UNIT]
//                                          a frame from a drawing's lines, no window
//   kestrel --csv OUTDIR MODEL.kst [--case LABEL]
//                                          the result and model tables as CSV files
//   kestrel --help | --version
// Only the first model file argument is used; further arguments are ignored.
// The window needs a display: without one the program says so and ends with
// status 1 instead of letting the toolkit abort.
#include "analysis/analysis.h"
#include "attrib/cases.h"
#include "files/modelfile.h"
#include "gfx/drivers.h"
#include "shell/edit/view.h"
#include "shell/files/dxfcommand.h"
#include "shell/files/export.h"
#include "shell/files/filecommands.h"
#include "shell/files/report.h"
#include "shell/journal.h"
#include "shell/mainwindow.h"
#include "shell/panels/casepanel.h"
#include "shell/results/modedisplay.h"
#include "shell/results/resultcmds.h"
#include "shell/results/tables.h"
#include "shell/startup.h"
#include "shell/state.h"
#include "ui/headless.h"
#include "ui/ui.h"

#ifdef KESTREL_WITH_QT
#include "app/images.h"
#include "gfx/qt/qtdrivers.h"
#include "ui/qt/qtbackend.h"
#endif

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

const char* const kUsage = "usage: kestrel [model.kst]\n"
                           "       kestrel --record JOURNAL [model.kst]\n"
                           "       kestrel --replay JOURNAL [model.kst]\n"
                           "       kestrel --export OUT MODEL.kst [--result KIND] [--case LABEL]\n"
                           "                        [--mode K] [--size WxH]\n"
                           "       kestrel --import-dxf IN.dxf OUT.kst [--layer NAME]...\n"
                           "                        [--dxf-units mm|cm|m|in|ft]\n"
                           "       kestrel --csv OUTDIR MODEL.kst [--case LABEL]\n"
                           "       kestrel --report OUT.pdf MODEL.kst [--case LABEL]...\n"
                           "       kestrel --help | --version\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

int help() {
    std::fputs(kUsage, stdout);
    std::fputs("\n"
               "Kestrel: linear static analysis of plane frames.\n"
               "\n"
               "  model.kst          the model file to open\n"
               "  --record JOURNAL   also write the session's inputs to JOURNAL\n"
               "  --replay JOURNAL   replay a journal without a window; its alerts and\n"
               "                     messages are printed\n"
               "  --export OUT MODEL.kst [--result axial|shear|bending|deformed|\n"
               "           buckling|vibration] [--case LABEL] [--mode K]\n"
               "           [--size WIDTHxHEIGHT]\n"
               "                     draw the model fitted to the size (default 1600x1000\n"
               "                     pixels) into OUT, in the format of its extension\n"
               "                     (svg, pdf, png, ps, eps, dxf, cgm), without a window;\n"
               "                     buckling and vibration draw mode K (default 1)\n"
               "  --import-dxf IN.dxf OUT.kst [--layer NAME]... [--dxf-units UNIT]\n"
               "                     a new frame from the LINE, LWPOLYLINE and POLYLINE\n"
               "                     entities of IN.dxf (only those of the layers named,\n"
               "                     when --layer is given), saved as OUT.kst; UNIT (mm,\n"
               "                     cm, m, in, ft; default mm) is the drawing unit of a\n"
               "                     file whose header does not give one\n"
               "  --csv OUTDIR MODEL.kst [--case LABEL]\n"
               "                     analyse the model and write every result and model\n"
               "                     table as a CSV file into OUTDIR (internal units)\n"
               "  --report OUT.pdf MODEL.kst [--case LABEL]...\n"
               "                     the calculation report of the model (every case,\n"
               "                     combination and the envelope, or those named) as a\n"
               "                     paged A4 PDF, without a window\n"
               "  --help             print this text\n"
               "  --version          print the version\n"
               "\n"
               "The window needs a display. kestrel-solve MODEL.kst analyses a model\n"
               "file from the command line, kestrel-solve FILE.dat a neutral file.\n",
               stdout);
    return 0;
}

int noDisplay() {
    std::fputs("kestrel: no display\n"
               "The window needs an X11 or Wayland display: set DISPLAY or WAYLAND_DISPLAY,\n"
               "or run it under xvfb-run. Without a display:\n"
               "  kestrel --replay JOURNAL [model.kst]   replays a session journal\n"
               "  kestrel-solve MODEL.kst                analyses a model file\n"
               "  kestrel-solve FILE.dat                 analyses a neutral file\n",
               stderr);
    return 1;
}

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

// True when something listens on the Unix socket (a file path, or an
// abstract name when it starts with '@').
bool listening(const std::string& socketName) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (socketName.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, socketName.data(), socketName.size());
    if (socketName[0] == '@') addr.sun_path[0] = '\0';
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const socklen_t len =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + socketName.size());
    const bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&addr), len) == 0;
    close(fd);
    return ok;
}

// An X11 display name. A local one (":0", "unix:0.0") must have its server's
// socket; a remote one is left to the toolkit to reach.
bool x11Display(const std::string& display) {
    if (display.empty()) return false;
    std::string number;
    if (display[0] == ':')
        number = display.substr(1);
    else if (display.rfind("unix:", 0) == 0)
        number = display.substr(5);
    else
        return true;
    number = number.substr(0, number.find('.'));
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) return false;
    const std::string path = "/tmp/.X11-unix/X" + number;
    return listening(path) || listening("@" + path);
}

// Whether the toolkit can open its windows here. A platform other than X11
// or Wayland chosen through QT_QPA_PLATFORM (offscreen, vnc, ...) needs no
// display of either kind.
bool displayAvailable() {
    const std::string platform = env("QT_QPA_PLATFORM");
    const std::string kind = platform.substr(0, platform.find(':'));
    const bool wayland = !env("WAYLAND_DISPLAY").empty();
    if (kind.empty()) return wayland || x11Display(env("DISPLAY"));
    if (kind == "xcb") return x11Display(env("DISPLAY"));
    if (kind.rfind("wayland", 0) == 0) return wayland;
    return true;
}

// Names every image of the windows that the program does not hold.
void reportMissingImages([[maybe_unused]] ui::Toolkit& tk) {
#ifdef KESTREL_WITH_QT
    for (const char* window : {"main", "about"}) {
        const ui::Element* root = tk.find(window);
        if (!root) continue;
        for (const std::string& path : app::imagesNotBuiltIn(*root))
            std::fprintf(stderr, "kestrel: image not built into the program: %s\n", path.c_str());
    }
#endif
}

// The command-line file is opened as the Open command opens a file.
shell::StartupHooks fileHooks() {
    shell::StartupHooks h;
    h.openModel = [](const std::string& path) { return shell::openModelByName(path); };
    h.fitView = shell::fitView;
    h.convertUnits = shell::conversionDialog;
    return h;
}

int replay(const std::string& journal, const std::string& file) {
    std::vector<shell::JournalEntry> entries;
    std::string error;
    if (!shell::readJournalFile(journal, entries, error)) {
        std::fprintf(stderr, "kestrel: %s\n", error.c_str());
        return 2;
    }
    auto owned = std::make_unique<shell::ReplayBackend>();
    shell::ReplayBackend& backend = *owned;
    ui::Toolkit tk(std::move(owned));
    // The journal is there from the start: the unit conversion of an older
    // model named on the command line opens during start-up and takes its
    // inputs from the first lines, and what start-up shows is printed.
    backend.load(std::move(entries));
    backend.onTranscript = [](const std::string& line) { std::printf("%s\n", line.c_str()); };
    if (int rc = shell::startUp(tk, file, fileHooks()); rc != 0) return rc;
    reportMissingImages(tk);
    int status = shell::replayJournal(tk, backend, journal, stdout, stderr);
    shell::shutDown(tk);
    return status;
}

// Opens MODEL without a window, on a headless canvas of width x height with
// the frame fitted, and runs `body` on it; its status, or 1 with a message
// when the model cannot be read.
int onHeadlessModel(const std::string& model, int width, int height,
                    const std::function<int(const ui::HeadlessBackend&)>& body) {
    auto owned = std::make_unique<ui::HeadlessBackend>(width, height);
    // Pictures go to file drivers: the headless canvas keeps nothing.
    owned->recordDrawings(false);
    const ui::HeadlessBackend& backend = *owned;
    ui::Toolkit tk(std::move(owned));
    static bool opened = false;
    opened = false;
    shell::StartupHooks hooks;
    hooks.openModel = [](const std::string& path) { return opened = shell::openModelByName(path); };
    hooks.fitView = shell::fitView;
    if (shell::startUp(tk, model, hooks) != 0) return 1;
    const int status = opened ? body(backend) : 1;
    shell::shutDown(tk);
    if (!opened) std::fprintf(stderr, "kestrel: cannot read the model %s\n", model.c_str());
    return status;
}

// A picture with `width` pixels across the fitted frame: its diagrams need no
// sample closer than one of them.
void sampleForWidth(int width) {
    double xmin, xmax, ymin, ymax;
    shell::viewWindow(xmin, xmax, ymin, ymax);
    shell::app().minimumSamplingStep = (xmax - xmin) / std::max(1, width);
}

// The id of the case, combination or envelope labelled `label` in the open
// model; 0 with the labels it has on the standard error when there is none
// (the envelope needs more than one case or a combination).
int shownIdOf(const std::string& model, const std::string& label) {
    const attrib::AttributeRoot& root = attrib::root();
    const int id = attrib::idOfLabel(root, label);
    if (id != 0 && !(id == attrib::kEnvelope && attrib::isSingleCase(root))) return id;
    std::string labels;
    for (const attrib::LoadCase& x : root.cases) labels += (labels.empty() ? "" : ", ") + x.label;
    for (const attrib::Combination& x : root.combos) labels += ", " + x.label;
    if (!attrib::isSingleCase(root)) labels += std::string(", ") + attrib::kEnvelopeLabel;
    std::fprintf(stderr, "kestrel: %s has nothing labelled %s (it has: %s)\n", model.c_str(),
                 label.c_str(), labels.c_str());
    return 0;
}

// kestrel --export OUT MODEL [--result KIND] [--case LABEL] [--size WxH]: the
// model drawn on a headless canvas of the given size, fitted, with the loads
// and results of the load case LABEL (the first case by default), then
// written by the file driver of OUT's extension.
int exportCommand(int argc, char** argv) {
    if (argc < 4) return usage();
    const std::string out = argv[2], model = argv[3];
    std::string result, loadCase;
    bool caseGiven = false;
    int mode = 0; // --mode: from 1; 0 not given
    int width = 1600, height = 1000;
    for (int i = 4; i < argc; i += 2) {
        if (i + 1 >= argc) return usage();
        const std::string opt = argv[i], value = argv[i + 1];
        if (opt == "--size") {
            int used = 0;
            if (std::sscanf(value.c_str(), "%dx%d%n", &width, &height, &used) != 2 ||
                used != static_cast<int>(value.size()) || width < 16 || height < 16 ||
                width > 20000 || height > 20000) {
                std::fprintf(stderr, "kestrel: bad size %s (WIDTHxHEIGHT, 16 to 20000 pixels)\n",
                             value.c_str());
                return 2;
            }
        } else if (opt == "--result") {
            if (value != "axial" && value != "shear" && value != "bending" && value != "deformed" &&
                value != "buckling" && value != "vibration") {
                std::fprintf(stderr,
                             "kestrel: unknown result %s (axial, shear, bending, deformed, "
                             "buckling or vibration)\n",
                             value.c_str());
                return 2;
            }
            result = value;
        } else if (opt == "--mode") {
            int used = 0;
            if (std::sscanf(value.c_str(), "%d%n", &mode, &used) != 1 ||
                used != static_cast<int>(value.size()) || mode < 1 || mode > shell::kModeCount) {
                std::fprintf(stderr, "kestrel: bad mode %s (1 to %d)\n", value.c_str(),
                             shell::kModeCount);
                return 2;
            }
        } else if (opt == "--case") {
            loadCase = value;
            caseGiven = true;
        } else {
            std::fprintf(stderr, "kestrel: unknown export option %s\n", opt.c_str());
            return usage();
        }
    }
    const bool modes = result == "buckling" || result == "vibration";
    if (mode > 0 && !modes) {
        std::fprintf(stderr, "kestrel: --mode goes with --result buckling or vibration\n");
        return 2;
    }
    if (gfx::driverForFile(out).empty()) {
        std::fprintf(stderr,
                     "kestrel: unknown extension of %s (svg, pdf, png, ps, eps, dxf or cgm)\n",
                     out.c_str());
        return 2;
    }
    return onHeadlessModel(model, width, height, [&](const ui::HeadlessBackend& backend) {
        sampleForWidth(width);
        // What is drawn: the case, combination or envelope named, else the
        // first case.
        attrib::AttributeRoot& root = attrib::root();
        const int id = caseGiven ? shownIdOf(model, loadCase) : root.cases.front().id;
        if (id == 0) return 2;
        attrib::setShown(root, id);
        shell::refreshCaseLists();
        // The result commands analyse the frame and show the asked result.
        const int kind = result == "axial"      ? 1
                         : result == "shear"    ? 2
                         : result == "bending"  ? 3
                         : result == "deformed" ? 4
                                                : 0;
        const bool analysed =
            modes ? shell::enterModeDisplay(result == "buckling" ? shell::ModeKind::Buckling
                                                                 : shell::ModeKind::Vibration)
                  : kind == 0 || shell::resultCommand(kind);
        if (!analysed) {
            std::fprintf(stderr, "kestrel: the analysis of %s failed\n", model.c_str());
            // The program's own message says why (no material, unstable frame ...).
            for (const std::string& line : backend.transcript())
                std::fprintf(stderr, "%s\n", line.c_str());
            return 1;
        }
        // What has nothing to draw says why: a second-order case beyond its
        // critical load, the second-order envelope over one, a mode the analysis did not
        // find (its note, such as no compression).
        std::string nothing = modes ? "" : shell::withoutResultsText();
        if (modes) {
            const int count = shell::shownModeCount(), k = std::max(mode, 1);
            if (count == 0)
                nothing = shell::modeLine();
            else if (k > count)
                nothing = "the analysis found " + std::to_string(count) + " modes, not " +
                          std::to_string(k);
            for (int step = 1; step < k && k <= count; ++step) shell::stepMode(1);
        }
        if (!nothing.empty()) {
            std::fprintf(stderr, "kestrel: %s: %s\n", model.c_str(), nothing.c_str());
            return 1;
        }
        if (!shell::exportScreenTo(out)) {
            std::fprintf(stderr, "kestrel: cannot write %s\n", out.c_str());
            return 1;
        }
        return 0;
    });
}

// kestrel --report OUT.pdf MODEL [--case LABEL]...: the calculation report of
// the model (every case, combination and the envelope, or those named) as
// File > Report... writes it.
int reportCommand(int argc, char** argv) {
    if (argc < 4) return usage();
    const std::string out = argv[2], model = argv[3];
    std::vector<std::string> labels;
    for (int i = 4; i < argc; i += 2) {
        if (i + 1 >= argc || std::strcmp(argv[i], "--case") != 0) return usage();
        labels.push_back(argv[i + 1]);
    }
    return onHeadlessModel(model, 1600, 1000, [&](const ui::HeadlessBackend& backend) {
        sampleForWidth(1600);
        shell::ReportRequest request{out, {}, ""};
        for (const std::string& label : labels) {
            const int id = shownIdOf(model, label);
            if (id == 0) return 2;
            request.ids.push_back(id);
        }
        std::string error;
        int pages = 0;
        if (!shell::writeReport(request, error, &pages)) {
            std::fprintf(stderr, "kestrel: %s\n", error.c_str());
            for (const std::string& line : backend.transcript())
                std::fprintf(stderr, "%s\n", line.c_str());
            return 1;
        }
        std::printf("%s: %d pages\n", out.c_str(), pages);
        return 0;
    });
}

// kestrel --csv OUTDIR MODEL [--case LABEL]: the model analysed as the result
// commands analyse it, then every table of the tables window for the case,
// combination or envelope LABEL (the first case by default) written as CSV
// files into OUTDIR, one per table. Status 0, or 1 with the reason on the
// standard error (no file is then written).
int csvCommand(int argc, char** argv) {
    if (argc < 4 || (argc != 4 && (argc != 6 || std::strcmp(argv[4], "--case") != 0)))
        return usage();
    const std::string dir = argv[2], model = argv[3];
    const bool caseGiven = argc == 6;
    const std::string loadCase = caseGiven ? argv[5] : "";
    return onHeadlessModel(model, 1600, 1000, [&](const ui::HeadlessBackend& backend) {
        attrib::AttributeRoot& root = attrib::root();
        const int id = caseGiven ? shownIdOf(model, loadCase) : root.cases.front().id;
        if (id == 0) return 2;
        attrib::setShown(root, id);
        shell::refreshCaseLists();
        if (!shell::resultCommand(1)) {
            std::fprintf(stderr, "kestrel: the analysis of %s failed\n", model.c_str());
            for (const std::string& line : backend.transcript())
                std::fprintf(stderr, "%s\n", line.c_str());
            return 1;
        }
        std::string error;
        if (shell::exportTablesCsv(dir, error)) return 0;
        std::fprintf(stderr, "kestrel: %s\n", error.c_str());
        return 1;
    });
}

// kestrel --import-dxf IN OUT [--layer NAME]... [--dxf-units UNIT]: a new
// frame built from the drawing as File > Import > DXF Drawing builds it,
// saved to OUT. What was imported goes to the standard output; a drawing
// that gives nothing to import ends with status 1 and its message on the
// standard error, and OUT is not written.
int importDxfCommand(int argc, char** argv) {
    if (argc < 4) return usage();
    const std::string in = argv[2], out = argv[3];
    shell::DxfRequest req;
    for (int i = 4; i < argc; i += 2) {
        if (i + 1 >= argc) return usage();
        const std::string opt = argv[i], value = argv[i + 1];
        if (opt == "--layer") {
            req.layers.push_back(value);
        } else if (opt == "--dxf-units") {
            if (value != "mm" && value != "cm" && value != "m" && value != "in" && value != "ft") {
                std::fprintf(stderr, "kestrel: unknown drawing unit %s (mm, cm, m, in or ft)\n",
                             value.c_str());
                return 2;
            }
            req.units = value;
        } else {
            std::fprintf(stderr, "kestrel: unknown import option %s\n", opt.c_str());
            return usage();
        }
    }
    ui::Toolkit tk(std::make_unique<ui::HeadlessBackend>());
    if (shell::startUp(tk, "") != 0) return 1;
    std::string text;
    const bool imported = shell::importDxfByName(in, req, text);
    const bool written =
        imported && files::saveModelFile(out, shell::app().model, attrib::root(),
                                         shell::app().settings) == files::SaveStatus::kSaved;
    shell::shutDown(tk);
    if (!imported) {
        std::fprintf(stderr, "kestrel: %s\n", text.c_str());
        return 1;
    }
    if (!written) {
        std::fprintf(stderr, "kestrel: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("%s\n", text.c_str());
    return 0;
}

std::unique_ptr<ui::Backend> screenBackend([[maybe_unused]] int& argc,
                                           [[maybe_unused]] char** argv) {
#ifdef KESTREL_WITH_QT
    ui::QtBackend::registerImage("KESTREL_ICON", shell::iconPath("kestrel"));
    return ui::makeQtBackend(argc, argv);
#else
    return std::make_unique<ui::HeadlessBackend>();
#endif
}

} // namespace

int main(int argc, char** argv) {
    std::string journal, file;
    bool replaying = false, recording = false;
    int first = 1;
    if (argc > 1 && !std::strcmp(argv[1], "--help")) return help();
    if (argc > 1 && !std::strcmp(argv[1], "--version")) {
        std::printf("kestrel %s\n", KESTREL_VERSION);
        return 0;
    }
    if (argc > 1 && !std::strcmp(argv[1], "--export")) return exportCommand(argc, argv);
    if (argc > 1 && !std::strcmp(argv[1], "--import-dxf")) return importDxfCommand(argc, argv);
    if (argc > 1 && !std::strcmp(argv[1], "--csv")) return csvCommand(argc, argv);
    if (argc > 1 && !std::strcmp(argv[1], "--report")) return reportCommand(argc, argv);
    if (argc > 1 && (!std::strcmp(argv[1], "--replay") || !std::strcmp(argv[1], "--record"))) {
        if (argc < 3) return usage();
        replaying = !std::strcmp(argv[1], "--replay");
        recording = !replaying;
        journal = argv[2];
        first = 3;
    } else if (argc > 1 && !std::strncmp(argv[1], "--", 2)) {
        std::fprintf(stderr, "kestrel: unknown option %s\n", argv[1]);
        return usage();
    }
    if (argc > first) file = argv[first];
    if (replaying) return replay(journal, file);

#ifdef KESTREL_WITH_QT
    if (!displayAvailable()) return noDisplay();
#endif
    ui::Toolkit tk(screenBackend(argc, argv));
    shell::JournalRecorder recorder;
    if (recording && !recorder.start(tk, journal)) {
        std::fprintf(stderr, "kestrel: cannot write the journal %s\n", journal.c_str());
        return 2;
    }
    if (int rc = shell::startUp(tk, file, fileHooks()); rc != 0) return rc;
    reportMissingImages(tk);
#ifdef KESTREL_WITH_QT
    // Print and clipboard go through Qt.
    shell::setDeviceDrivers(
        [](const std::string& driver, const std::string& data, int w, int h, double wMm,
           double hMm) { return gfx::openQtDriver(driver, data, w, h, wMm, hMm); });
#endif
    shell::runMainLoop(tk);
    recorder.stop();
    shell::shutDown(tk);
    return 0;
}
