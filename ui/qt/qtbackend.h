// The Qt backend of the toolkit facade: every element of ui/ui.h becomes a
// real Qt 6 widget (or a menu action), built when its dialog is mapped.
// Widget changes made by the user go through the Toolkit's input methods
// (press, toggle, select, typeKey, commit, canvasButton, ...), so handlers run
// exactly as under the headless backend; attributes set by the program are
// pushed to the widgets. Canvases are gfx::QtCanvas drivers shown by a canvas
// widget that paints the canvas's front image.
//
// Keys: a key pressed anywhere in a dialog goes first to the dialog's K_ANY
// action (a -1 consumes it), then to the key filter (ACTION) of a text field
// with the focus. Before each key the dialog's "FOCUS" attribute is stored
// with the handle name of the element holding the keyboard focus, so that a
// key handler can tell whether the canvas has it.
//
// Layout: an HBox with "WRAP" "YES" continues on a new row when the window
// is too narrow for it; the pages of a Switch scroll when the window is too
// small for them; a canvas's RASTERSIZE is the size it asks for, not its
// minimum; a dialog asked larger than the screen opens maximized.
//
// Created by app/main.cpp through makeQtBackend(), which also creates the
// QApplication; the Toolkit owns the backend.
#pragma once

#include "ui/ui.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class QApplication;
class QObject;
class QAction;
class QWidget;

namespace ui {

struct QtNode;
class QtCanvasWidget;

class QtBackend : public Backend {
public:
    // Uses the running QApplication, or creates one (then owned by the
    // backend) with createApplication().
    QtBackend(int& argc, char** argv);
    ~QtBackend() override;

    // A QApplication that delivers every key to the dialogs' K_ANY before the
    // widget with the focus sees it. Create it with this when the program or a
    // test needs the application before the backend.
    static QApplication* createApplication(int& argc, char** argv);

    // Images for "IMAGE", "IMPRESS" and "ICON": a registered name, or the path
    // of an SVG or PNG file.
    static void registerImage(const std::string& name, const std::string& path);

    const char* name() const override { return "qt"; }
    void attach(Toolkit& tk) override { tk_ = &tk; }
    void created(Element& e) override;
    void appended(Element& parent, Element& child) override;
    void attributeSet(Element& e, const std::string& attr) override;
    void map(Element& dialog) override;
    void show(Element& dialog, int x, int y) override;
    void hide(Element& dialog) override;
    void runLoop(Element* dialog) override;
    void leaveLoop() override;
    void message(const std::string& title, const std::string& text) override;
    int alarm(const std::string& title, const std::string& text,
              const std::vector<std::string>& buttons) override;
    bool getParam(ParamForm& form) override;
    void fileDialog(Element& request) override;
    std::unique_ptr<gfx::Canvas> createCanvas(Element& canvas) override;
    void resized(Element& canvas, int width, int height) override;
    void tableChanged(Element& table) override;
    void tableSelectionChanged(Element& table) override;
    void setClipboardText(const std::string& text) override;
    void close() override;

    // The widget of an element, null until its dialog is mapped (menu entries
    // have an action instead).
    QWidget* widget(const Element& e) const;
    QAction* action(const Element& e) const;
    Toolkit& toolkit() const { return *tk_; }
    // True while the windows are being closed: widget signals are no input.
    bool quiet() const { return quiet_ > 0; }

    // Used by the backend's own widgets and the application object: a key
    // for the K_ANY of the receiver's dialog (true when consumed), and the
    // building of an element's widgets (with its subtree) under a parent.
    bool deliverKey(QWidget* receiver, int key);
    void build(Element& e, QtNode* parent);

private:
    struct Loop;
    class BoundCanvas;
    Toolkit* tk_ = nullptr;
    int quiet_ = 0;
    std::unique_ptr<QApplication> ownApp_;
    QObject* keyFilter_ = nullptr; // keys to K_ANY under a foreign application object
    std::vector<std::unique_ptr<QtNode>> nodes_;
    std::vector<Loop*> loops_;
    std::map<const Element*, BoundCanvas*> canvases_;

    void applyAll(QtNode& n);
    void closeWindows();
    QWidget* activeWindow() const;
    friend class QtCanvasWidget;
    BoundCanvas* canvasOf(const Element& e) const;
};

// Creates the QApplication (when none runs) and the backend.
std::unique_ptr<Backend> makeQtBackend(int& argc, char** argv);

} // namespace ui
