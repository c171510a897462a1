#include "NetworkServices.h"

#include "ControlServer.h"
#include "app/LogFile.h"

NetworkServices::NetworkServices(DeviceWatch &watch, const NetworkConfig &config) : config_(config)
{
    if (config_.nutAddress) nut_ = std::make_unique<NutFeed>(watch, config_);
    if (config_.metricsAddress) metrics_ = std::make_unique<MetricsFeed>(watch);
}

void NetworkServices::listen()
{
    try {
        if (nut_) {
            nut_->listen(*config_.nutAddress);
            logFile("NUT clients are served on " + config_.nutAddress->text().toStdString()
                    + " (UPS " + config_.nutUpsName + ")");
        }
        if (metrics_) {
            metrics_->listen(*config_.metricsAddress);
            logFile("Prometheus metrics are served on http://"
                    + config_.metricsAddress->text().toStdString() + "/metrics");
        }
    } catch (const ListenError &error) {
        throw StartError(QString::fromStdString(error.what()));
    }
}

loop::Task<> NetworkServices::settingsWritten()
{
    if (nut_) co_await nut_->settingsWritten();
}
