#include "host/ClRuleGenkashokyaku.h"

#include "host/Host.h"

HOST_OBJECT_DEFINITION(ClRuleGenkashokyaku, ClRuleBase, NewRuleGenkashokyaku)
