// The application state: the one record every command handler reads and
// writes. It holds the toolkit and the element table of the main window, the
// drawing canvas, the frame model slot, the file identity, AppSettings, the
// colour scheme, the current editing mode, the message line and the
// information page. Start-up (shell/startup.h) fills it; resetApp() returns it
// to the state before start-up, so tests begin clean.
#pragma once

#include "shell/settings.h"

#include <array>
#include <functional>
#include <memory>
#include <string>

struct Solid;
namespace gfx {
class Canvas;
}
namespace ui {
class Element;
class Toolkit;
} // namespace ui

namespace shell {

// Handles of the elements the shell touches after construction.
struct Elements {
    ui::Element* main = nullptr;
    ui::Element* datascreen = nullptr;
    ui::Element* datatopmsg = nullptr;
    ui::Element* modelabel = nullptr;
    ui::Element* modetext = nullptr;
    ui::Element* modeunit = nullptr;
    ui::Element* attmenu = nullptr;
    ui::Element* infoarea = nullptr;
    ui::Element* infotxt = nullptr;
    ui::Element* htext = nullptr;
    ui::Element* vtext = nullptr;
    ui::Element* hsizeunit = nullptr;
    ui::Element* vsizeunit = nullptr;
    ui::Element* cursorxpos = nullptr;
    ui::Element* cursorypos = nullptr;
    ui::Element* gridstepxtext = nullptr;
    ui::Element* gridstepytext = nullptr;
    ui::Element* gridstepxunit = nullptr;
    ui::Element* gridstepyunit = nullptr;
    ui::Element* resultsteptext = nullptr;
    ui::Element* resultstepunit = nullptr;
    ui::Element* resultmode = nullptr;
    ui::Element* ilsection = nullptr;
    ui::Element* deformed = nullptr;
    ui::Element* edtdelsel = nullptr;
    ui::Element* select = nullptr;
    ui::Element* insline = nullptr;
    ui::Element* insvertex = nullptr;
    ui::Element* insdimln = nullptr;
    ui::Element* about = nullptr;
};

// File identity of the current model.
constexpr std::size_t kShortNameMax = 63;
constexpr std::size_t kFullPathMax = 255;
struct FileIdentity {
    std::string shortName = "untitled.kst";
    std::string fullPath = "untitled.kst";
    int version = 211;
    int saved = 1;
    // Set when the reader left parts of the file out: Save asks for a name
    // instead of writing over the file.
    int damaged = 0;
};

enum class EditMode {
    Select,
    InsertMember,
    InsertNode,
    InsertDimLine,
    InfluenceSection,
    ResultQuery
};

struct AppState {
    ui::Toolkit* tk = nullptr;
    Elements el;
    std::unique_ptr<gfx::Canvas> canvas;
    // The current frame model (owned through the frame model module).
    Solid* model = nullptr;
    FileIdentity file;
    AppSettings settings;
    ColorScheme colors;
    EditMode mode = EditMode::Select;
    int keyboardMode = 0;
    // The coarsest sampling step a picture of known resolution needs (one
    // of its pixels, in metres); the diagrams are sampled no finer than it.
    // 0 in the window, whose curves serve every zoom. The extremes are exact
    // either way.
    double minimumSamplingStep = 0;
    int pickPurpose = 0;
    // Selection summary (0 nothing, 1 members, 2 nodes) and the number of
    // dimension lines of the drawing.
    int selectionKind = 0;
    int selectionCount = 0;
    int dimensionLines = 0;
    // Message line above the canvas.
    std::string messageText = " ";
    bool messageBlank = true;
    // Information page in the attribute area and the property panel to
    // return to (an index into the panel table, shell/panels/panels.h).
    bool infoShown = false;
    int currentPanel = 0;
    // Set when a handler asked to leave the program.
    bool leaving = false;
    // Save As of the file commands; the program leaves after "Save As &
    // Exit" only when it reports success. None registered: it fails.
    bool (*saveAs)() = nullptr;
    // The units dialog on the settings' unit and format codes: 1 when
    // accepted (the codes then changed), 0 when cancelled. Start-up installs
    // the real dialog (shell/unitsdialog.h); tests may put their own.
    std::function<int(AppSettings&)> unitsDialog;
};

AppState& app();
// Destroys the canvas and the frame model and returns every field to its
// initial value.
void resetApp();

// Fills the element table from the toolkit's handle names.
void lookupElements(ui::Toolkit& tk);

// Modified indicator: mode 0 clears the saved flag; mode 1 clears it only
// when the newest undo slot is not empty.
void markModified(int mode);
// 1 when the frame is not modified: saved flag 1 and newest undo slot empty.
int isSaved();
// Replaces the current frame model by a new empty one (only its dummy
// vertex), with an empty history.
void createEmptyModel();
// True when there is no model or it holds no member and only its dummy vertex.
bool modelIsEmpty();

// The leaving question of Exit and CloseWindow: 1 when the program may end.
int confirmLeaving();

} // namespace shell
