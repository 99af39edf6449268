#include "host/ClRuleShohizeiShinkoku.h"

#include "host/Host.h"

HOST_OBJECT_DEFINITION(ClRuleShohizeiShinkoku, ClRuleBase, NewRuleShohizeiShinkoku)
