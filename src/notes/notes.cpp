#include "notes/notes.h"
