#include "host/ClRuleKamoku.h"

#include "host/Host.h"

HOST_OBJECT_DEFINITION(ClRuleKamoku, ClRuleBase, NewRuleKamoku)
