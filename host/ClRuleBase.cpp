#include "host/ClRuleBase.h"

ClRuleBase::~ClRuleBase() { delete impl_; }
