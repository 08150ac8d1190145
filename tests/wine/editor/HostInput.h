// HostInput: user input sent from a second thread with SendInput, while the UI thread dispatches messages.
#pragma once

#include <windows.h>

#include <functional>

namespace hostinput {

// Moves the cursor to a screen point (absolute SendInput) and waits until GetCursorPos has reported it for
// 150 ms. Under Wine's X11 desktop the pointer warp of an earlier move can come back late from the X server
// and pull the cursor to where it was; the cursor is then moved again. Inside runWhileDispatching it then
// waits until the dispatching thread has read the X events of the move. False when it never settles in 10 s.
bool moveTo(POINT where);
// The button goes down and up where moveTo last put the cursor, even if a late warp has pulled it away since.
void pressLeft();
void releaseLeft();
void pressRight();
void releaseRight();
void key(WORD virtualKey, bool down);
// Presses a key and keeps it down until the system has reported it down for 100 ms. Under Wine's X11 desktop
// a keymap notification can come a moment later and lift the modifiers that X does not see pressed; a hand
// holding Control stays on it, so it is pressed again. Inside runWhileDispatching it is down also after the
// dispatching thread has read the X events that came before. False when it never settles.
bool holdKey(WORD virtualKey);

// Polls condition every few milliseconds until it holds or timeoutMs have passed; answers its last result.
bool waitFor(const std::function<bool()>& condition, DWORD timeoutMs);

// Runs gesture on a second thread while this (UI) thread dispatches its messages, as a host's message loop
// does, so that the button-down message is dispatched while the gesture still holds the button. Returns when
// the gesture has ended and the queue is empty, or after timeoutMs (then false). The gesture must itself be
// bounded in time.
bool runWhileDispatching(const std::function<void()>& gesture, DWORD timeoutMs);

// Dispatches every waiting message of this thread (paint messages included), at most a few thousand.
void pumpMessages();

}  // namespace hostinput
