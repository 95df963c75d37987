#include "shell/TouchEvent.h"

std::vector<TouchEvent> TouchEvents;
