// Line editing of console answers when a person types them at a terminal: libedit, loaded at
// run time, reads unit 5's lines with cursor keys, recall of earlier answers and, at file
// questions, file-name completion on Tab. Nothing is read from configuration files and
// nothing is kept after the run.
#pragma once

namespace qartwo {

// Turns line editing on when standard input and standard output are both terminals, libedit
// can be loaded and a character set that keeps every byte can be had (the user's, or C.UTF-8):
// unit 5 then reads through the editor, which shows the prompt held on unit 6. True when it is
// on; false (answers read plainly, nothing changed) otherwise.
bool StartLineEditor();

// Turns line editing off: unit 5 reads its stream again and the terminal has the settings
// it had before StartLineEditor. Nothing when editing is off.
void StopLineEditor();

// Tab completes file names (true, for the file questions) or is an ordinary character.
void CompleteFileNames(bool on);

// Puts back the terminal settings from before StartLineEditor, keeping the editor's for
// ResumeTerminalAfterStop; nothing when editing is off. Async-signal-safe: a signal handler
// that ends or stops the run calls it first.
void RestoreTerminalAfterSignal();

// Gives the terminal the editor's settings back that RestoreTerminalAfterSignal kept, for a
// run that was stopped and goes on. Async-signal-safe; nothing when editing is off.
void ResumeTerminalAfterStop();

}  // namespace qartwo
