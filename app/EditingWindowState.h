#pragma once

class QMainWindow;

// The main window's look while a pattern is being edited: its size fixed
// where and as large as it is, and its title marked as edited; and the
// window given back its normal look when editing ends.
class EditingWindowState {
public:
    static void apply(QMainWindow* window);
    static void restore(QMainWindow* window);
};
