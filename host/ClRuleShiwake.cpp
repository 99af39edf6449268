#include "host/ClRuleShiwake.h"

#include "host/Host.h"

HOST_OBJECT_DEFINITION(ClRuleShiwake, ClRuleBase, NewRuleShiwake)
