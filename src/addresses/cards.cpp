#include "addresses/cards.h"
