// The gallery program's work, the same on every platform; its main() (qt/ or win32/) first starts
// what the platform's text engine needs.
#pragma once

namespace velquin::progressbar {

// Writes the gallery to argv[1] (default "progressbar-gallery.png"); returns the exit status.
int RunGallery(int argc, char** argv);

}  // namespace velquin::progressbar
