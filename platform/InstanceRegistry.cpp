#include "InstanceRegistry.h"

struct InstanceRegistry::Private {
};

InstanceRegistry::InstanceRegistry(const QString &) : d(new Private) {}
InstanceRegistry::~InstanceRegistry() = default;
QString InstanceRegistry::baseName(const QString &programPath) { return programPath.toUpper(); }
bool InstanceRegistry::registerInstance(int) { return true; }
void InstanceRegistry::unregisterInstance() {}
int InstanceRegistry::count() const { return 1; }
