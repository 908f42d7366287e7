#include "audio/PlayerEvents.h"
