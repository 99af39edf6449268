#include "host/ClRuleShohizei.h"

#include "host/Host.h"

HOST_OBJECT_DEFINITION(ClRuleShohizei, ClRuleBase, NewRuleShohizei)
