// Line editing of console answers when a person types them at a terminal: libedit, loaded at
// run time, reads unit 5's lines with cursor keys, recall of earlier answers and, at file
// questions, file-name completion on Tab. Nothing is read from configuration files and
// nothing is kept after the run.
#pragma once

namespace qartwo {

// Turns line editing on when standard input and standard output are both terminals, libedit
// can be loaded and a character set that keeps every byte can be had (the user's, or C.UTF-8):
// unit 5 then reads through the editor, which shows the prompt held on unit 6, and a signal
// that ends or stops the run first gives the terminal its settings back. True when it is on;
// false (answers read plainly, nothing changed) otherwise.
bool StartLineEditor();

// Turns line editing off: unit 5 reads its stream again and the terminal has the settings
// it had before StartLineEditor. Nothing when editing is off.
void StopLineEditor();

// Tab completes file names (true, for the file questions) or is an ordinary character.
void CompleteFileNames(bool on);

}  // namespace qartwo
