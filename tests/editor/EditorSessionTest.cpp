#include "EditorTestSupport.h"
