#include "servers/clsGRServer.h"

clsGRServer::clsGRServer() = default;
clsGRServer::~clsGRServer() = default;

void clsGRServer::Refresh() {}
