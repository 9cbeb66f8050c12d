// The pick layer: every mouse event on a drawing canvas goes through here. It
// converts pixels to world coordinates, draws the rubber-band echo (a line or
// a rectangle from the first point, the client's own echo and the cursor
// cross) in exclusive-or mode so that it can be erased exactly, keeps the
// pick aperture and the tolerance derived from it, and hands each event to
// the client of the current pick interaction (the selection gesture, a curve
// creation, a transformation, a zoom fence). One interaction runs at a time;
// starting one replaces the current one. The shell binds the canvas actions
// PckMouseBt, PckMouseMv and PckEchoOff to onMouseBt, onMouseMv, onEchoOff.
#pragma once

#include "gfx/canvas.h"
#include "ui/ui.h"

#include <functional>
#include <string>

namespace interact::pck {

// What the echo drags from the first point.
enum class Echo { None, Line, Rect };
// Which buttons give points to the client.
enum class Accept { Any, Left, Middle };

struct Pick;
// Button events: `button` and `pressed` of the pick say which event it is.
using ButtonFn = std::function<void(Pick&)>;
// Motion events; the callback may move the band's end (ex, ey), e.g. to snap.
using MotionFn = std::function<void(Pick&)>;
// Extra echo drawn by the client, in exclusive-or mode, called once to draw
// and once more with the same pick to erase.
using EchoFn = std::function<void(gfx::Canvas&, const Pick&)>;
// Status of an ended interaction: 0 nothing made (the user ended it), -1
// nothing more to do, other values something was done.
using DoneFn = std::function<void(int status)>;

// A pick interaction: the descriptor a client starts with, then the running
// state. start() copies it whole.
struct Pick {
    ui::Element* canvas = nullptr;
    gfx::Canvas* gc = nullptr; // null: the canvas registered with vis
    Echo echo = Echo::None;
    Accept accept = Accept::Any;
    // The client gives the first point: the band follows the pointer from it
    // at once. Otherwise the first point is where the accepted button is
    // pressed, and the band is drawn while the button is held.
    bool anchored = false;
    double x0 = 0, y0 = 0;   // first point (world)
    int px0 = 0, py0 = 0;    // its pixel, when a press set it
    double x = 0, y = 0;     // current point (world)
    int px = 0, py = 0;      // current pixel
    double ex = 0, ey = 0;   // end of the band: the current point unless moved
    int button = 0;          // button of the last accepted press or release (1, 2, 3)
    bool pressed = false;    // that button is held
    std::string mods = "  "; // 'S' first when Shift is held, 'C' second with Control
    double tol = 0;          // world width of the aperture along x
    ButtonFn onButton;
    MotionFn onMotion;
    EchoFn onEcho;
    DoneFn onDone;
    void* data = nullptr; // the client's

    bool shift() const { return !mods.empty() && mods[0] == 'S'; }
    bool control() const { return mods.size() > 1 && mods[1] == 'C'; }
};

// The aperture at start, in pixels.
constexpr int kStartAperture = 8;

// The module's state.
struct PckState {
    bool active = false;
    Pick pick;
    int aperture = kStartAperture;
    // Palette index the echo is drawn with; -1: black or white, whichever
    // stands out from the canvas background.
    int echoColor = -1;
    bool pointerIn = false;                  // the pointer is over the canvas: the echo is due
    bool shown = false;                      // an echo is on the screen
    Pick drawn;                              // what it was drawn from
    unsigned generation = 0;                 // counts started and ended interactions
    int drawnAperture = kStartAperture;      // aperture of the echo on the screen
    int drawnColor = 0, drawnBackground = 1; // and its colours
    // The pointer: the canvas it was last seen on and its pixel there.
    ui::Element* pointerCanvas = nullptr;
    int pointerPx = 0, pointerPy = 0;
    void reset();
};
PckState& state();

// Steps of the aperture (Ctrl + middle button): 8, 4, 20, 16, 12, 8 ...
int nextAperture(int aperture);

// Starts an interaction; -1 when the canvas has no graphics canvas.
int start(const Pick& descriptor);
// Ends the current interaction without telling its client.
void cancel();
// Ends the current interaction and calls its done callback with `status`.
void end(int status);
bool active();
Pick* current();

// Canvas events. Buttons are 1 left, 2 middle, 3 right. The caller has
// already turned Control + right into the middle button.
int button(ui::Element& canvas, int button, bool pressed, int px, int py,
           const ui::Modifiers& mods);
int motion(ui::Element& canvas, int px, int py, const ui::Modifiers& mods);
// Erases the echo and shows the arrow cursor until the pointer moves again.
int echoOff(ui::Element& canvas);

// Erase and redraw the echo around a redraw of the canvas. vis does this
// for its redraws, and the pick layer around its clients' callbacks; any
// other redraw or flush of the canvas must be wrapped in these two, since a
// flush replaces what is shown and the echo would then be drawn, not erased.
void hideEcho();
void showEcho();

// Steps the aperture (8, 4, 20, 16, 12, 8 ...) and redraws the cross.
void stepAperture();
// World width of the aperture along x on a canvas.
double toleranceOf(const gfx::Canvas& gc);
// Tolerance on the current interaction's canvas (0 without one).
double tolerance();

// Handlers for the canvas actions; they return ui::kDefault.
int onMouseBt(ui::Event& ev);
int onMouseMv(ui::Event& ev);
int onEchoOff(ui::Event& ev);

} // namespace interact::pck
