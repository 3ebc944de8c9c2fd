// GDI's text engine needs nothing started.
#include "controls/progressbar/gallery/gallery.h"

int main(int argc, char** argv) { return velquin::progressbar::RunGallery(argc, argv); }
