// The folders the platform gives the engine's file systems.
//
// On macOS the resources are the main bundle's "Contents/Resources" folder
// (CoreFoundation) and the user folders are the user-domain Documents and
// Application Support folders (CoreServices). This stand-in answers from the
// process and its environment. Every answer is a path without a trailing
// '/', written into the caller's buffer; a path that does not fit is refused
// (false), never cut.
#pragma once

// The program's resources folder: the main bundle's resources on macOS, the
// directory of the executable here. False when it cannot be found.
bool ZKD_GetResourcesDirectory(char* path, int size);

// The user's Documents folder (documents true) or the user's data folder
// (documents false), created when missing. Here the data folder is
// $XDG_DATA_HOME, else $HOME/.local/share, and Documents is $HOME/Documents;
// without HOME the home directory comes from the password database.
bool ZKD_GetUserDirectory(bool documents, char* path, int size);
