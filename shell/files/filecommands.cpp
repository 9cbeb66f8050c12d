// File commands around the model file.
#include "shell/files/filecommands.h"

#include "analysis/analysis.h"
#include "attrib/blocks.h"
#include "fileio/fileio.h"
#include "files/modelfile.h"
#include "shell/display.h"
#include "shell/edit/modes.h"
#include "shell/edit/view.h"
#include "shell/messages.h"
#include "shell/panels/panels.h"
#include "shell/panels/propertypanel.h"
#include "shell/state.h"
#include "ui/ui.h"
#include "units/units.h"

#include <cerrno>

namespace shell {

namespace {

using ui::Event;
constexpr int kDefault = -2;

const char* const kNotOpened = "  Kestrel file could not be opened.  ";
const char* const kNotSaved = "  Kestrel file could not be saved.  ";
const char* const kNewer = "\n   Version of file is higher than this version of Kestrel.  \n\n"
                           "   Please update Kestrel from https://kestrel-frames.org  \n";

std::string g_lastDirectory;

std::string lastComponent(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Deletes the current model without recording anything.
void deleteModel() {
    AppState& a = app();
    if (!a.model) return;
    analysis::clearStoredResults(); // they refer to the model's entities
    mdl_set_recording_mode(MODE_OFF);
    mdl_delete_model(a.model);
    a.model = nullptr;
}

// Writes the frame to `path` (to the file it names when it is a link); on
// success the file identity follows it. A write-protected file is replaced
// only when the user says so.
bool saveTo(const std::string& path) {
    AppState& a = app();
    if (!a.model) createEmptyModel();
    const bool isProtected = fileio::isWriteProtected(path);
    if (isProtected && alert("\n   " + lastComponent(path) + " is write-protected.   \n" +
                                 "   Replace it anyway?   \n",
                             "  Replace  ", "  Cancel  ") != 1)
        return false;
    if (files::saveModelFile(path, a.model, attrib::root(), a.settings, isProtected) !=
        files::SaveStatus::kSaved) {
        alert(kNotSaved, " Continue ");
        return false;
    }
    a.file.damaged = 0;
    a.file.fullPath = path.substr(0, kFullPathMax);
    a.file.shortName = lastComponent(path).substr(0, kShortNameMax);
    a.file.version = files::kFileVersion;
    setWindowTitle(a.file.shortName);
    mdl_clear_history();
    a.file.saved = 1;
    return true;
}

// After the model changed as a whole: panels from their first blocks, the
// select mode, the view fitted.
void afterNewModel() {
    resetPropertyPanels();
    enterSelectMode();
    fitView();
    refreshPanels();
    showPanel(kMaterialPanel);
    showWorkSpaceSize();
    redraw();
}

int onNew(Event&) {
    if (!closeFrame()) {
        enterSelectMode();
        return kDefault;
    }
    setWindowTitle(app().file.shortName);
    afterNewModel();
    return kDefault;
}

int onOpen(Event&) {
    std::string name;
    const int status = fileDialog("OPEN", "Open Kestrel data file", "*.kst", name);
    if (status == 1) alert(" Could not find Kestrel file. ", " Continue ");
    if (status != 0 || !openModelByName(name)) {
        enterSelectMode();
        redraw();
        return kDefault;
    }
    AppState& a = app();
    afterNewModel();
    if (a.file.version < 206) {
        if (conversionDialog() == 1) {
            fitView();
            markModified(0);
        } else {
            a.file.saved = 1; // the frame the user declined goes without a question
            closeFrame();
            setWindowTitle(a.file.shortName);
        }
        afterNewModel();
    }
    return kDefault;
}

} // namespace

int fileDialog(const std::string& type, const std::string& title, const std::string& filter,
               std::string& name) {
    AppState& a = app();
    ui::Element& d = a.tk->at("kestrelfiledlg");
    d.set("DIALOGTYPE", type);
    d.set("TITLE", title);
    d.set("FILTER", filter);
    d.set("FILE", name);
    d.set("DIRECTORY", g_lastDirectory);
    d.set("NOCHANGEDIR", "YES");
    a.tk->fileDialog(d);
    const std::string chosen = d.get("VALUE");
    const std::string st = d.get("STATUS");
    const int status = st == "0" ? 0 : st == "1" ? 1 : -1;
    if (status == -1) return -1;
    const std::size_t slash = chosen.rfind('/');
    if (slash == std::string::npos) return -1;
    name = chosen;
    g_lastDirectory = chosen.substr(0, slash);
    return status;
}

void resetFileDialogDirectory() {
    g_lastDirectory.clear();
}

bool closeFrame() {
    AppState& a = app();
    if (!isSaved()) {
        const int b = alert("\n         " + a.file.shortName +
                                " has changed.        \n         Save current changes?      \n\n",
                            "   Save As   ", "   Discard   ", "   Cancel    ");
        if (b == 1 && !saveAsCommand()) return false;
        if (b != 1 && b != 2) return false;
    }
    // The history first: its records refer to the blocks of the lists.
    a.selectionKind = a.selectionCount = 0;
    mdl_clear_history();
    deleteModel();
    attrib::state().root.reset();
    a.file = FileIdentity{};
    const AppSettings si = initialSettings();
    a.settings.units = si.units;
    a.settings.formats = si.formats;
    a.model = mdl_new_model();
    attrib::root();
    return true;
}

bool openModelByName(const std::string& path) {
    if (!closeFrame()) return false;
    AppState& a = app();
    FILE* fp = fileio::openRegular(path);
    if (fp == nullptr) {
        // A directory, a device or a FIFO is refused before it is read.
        if (errno == EISDIR || errno == EINVAL)
            alert("  " + lastComponent(path) +
                      " is not a Kestrel file: it is not a regular file.  ",
                  " Continue ");
        setWindowTitle(a.file.shortName);
        return false;
    }
    files::ReadResult r = files::readModel(fp, a.settings);
    std::fclose(fp);
    if (r.status == files::ReadStatus::kNewerVersion || r.status == files::ReadStatus::kBadFile) {
        alertExit(r.status == files::ReadStatus::kNewerVersion ? kNewer
                  : r.reason.empty()                           ? " Bad Kestrel file. "
                                                               : "\n   " + r.reason + "   \n");
        setWindowTitle(a.file.shortName);
        return false;
    }
    if (r.status != files::ReadStatus::kModel) return false;
    deleteModel();
    attrib::state().root = std::move(r.root);
    a.settings = r.settings;
    a.model = r.model;
    mdl_clear_history();
    mdl_undo_recording_on();
    a.file.version = r.version;
    a.file.fullPath = path.substr(0, kFullPathMax);
    a.file.shortName = lastComponent(path).substr(0, kShortNameMax);
    a.file.saved = 1;
    setWindowTitle(a.file.shortName);
    if (r.noteCount > 0) {
        // What was left out would be lost by a save over the file: the frame
        // is marked changed and Save asks for a name.
        a.file.saved = 0;
        a.file.damaged = 1;
        alert("\n   " + a.file.shortName + " is damaged:   \n   " + files::notesSummary(r, 5) +
                  ".   \n\n   What could not be read is left out: save the frame under   \n"
                  "   another name to keep the file as it is.   \n",
              " Continue ");
    }
    return true;
}

bool saveAsCommand() {
    std::string name = app().file.fullPath;
    if (fileDialog("SAVE", "Save as Kestrel data file", "*.kst", name) == -1) return false;
    return saveTo(files::withModelExtension(name));
}

bool saveCommand() {
    AppState& a = app();
    if (a.file.shortName == "untitled.kst" || a.file.damaged) return saveAsCommand();
    return isSaved() || saveTo(a.file.fullPath);
}

void importCommand(int kind) {
    AppState& a = app();
    std::string name;
    const int status =
        fileDialog("OPEN", "Open Kestrel data file to import properties", "*.kst", name);
    if (status == 1) alert("  Could not find Kestrel file to import properties!  ", " Continue ");
    if (status != 0) return;
    switch (files::importProperties(name, attrib::root(), a.settings, kind)) {
    case files::ImportStatus::kCannotOpen:
        alert(kNotOpened, " Continue ");
        return;
    case files::ImportStatus::kNewerVersion:
        alert(kNewer, " Continue ");
        return;
    default:
        break;
    }
    markModified(0);
    resetPropertyPanels();
    refreshPanels();
    showWorkSpaceSize();
    redraw();
}

void bindFileActions(ui::Toolkit& tk) {
    // The request of the file dialog: an element that only carries attributes.
    if (!tk.find("kestrelfiledlg")) tk.make(ui::Kind::Dialog, "kestrelfiledlg");
    tk.bind("IoNew", onNew);
    tk.bind("IoOpen", onOpen);
    tk.bind("IoSave", [](Event&) {
        saveCommand();
        return kDefault;
    });
    tk.bind("IoSaveAs", [](Event&) {
        saveAsCommand();
        return kDefault;
    });
    tk.bind("IoImportPropGbl", [](Event&) {
        importCommand(-1);
        return kDefault;
    });
    app().saveAs = saveAsCommand;
}

} // namespace shell
