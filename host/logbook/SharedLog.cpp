#include "logbook/SharedLog.h"

#include "logbook/SharedLogWorker.h"

namespace qarvel {

SharedLog::SharedLog(const QString& location, const QString& table, const QString& copyPath,
                     QObject* parent)
    : QObject(parent) {
    qRegisterMetaType<qarvel::QsoRow>("qarvel::QsoRow");
    qRegisterMetaType<std::vector<qarvel::QsoRow>>("std::vector<qarvel::QsoRow>");
    thread_.setObjectName(QStringLiteral("qarvel shared log"));
    worker_ = new SharedLogWorker(location, table, copyPath);
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    connect(worker_, &SharedLogWorker::StateChanged, this, &SharedLog::Take);
    connect(worker_, &SharedLogWorker::RowArrived, this, &SharedLog::RowArrived);
    connect(worker_, &SharedLogWorker::RowChanged, this, &SharedLog::RowChanged);
    connect(worker_, &SharedLogWorker::RowRemoved, this, &SharedLog::RowRemoved);
    connect(worker_, &SharedLogWorker::Rebuilt, this, &SharedLog::Rebuilt);
    connect(worker_, &SharedLogWorker::ImportProgress, this, &SharedLog::ImportProgress);
    connect(worker_, &SharedLogWorker::ImportFinished, this, &SharedLog::ImportFinished);
    connect(worker_, &SharedLogWorker::Connected, this, &SharedLog::Connected);
    connect(worker_, &SharedLogWorker::Warning, this, &SharedLog::Warning);
    connect(worker_, &SharedLogWorker::SideChanged, this, &SharedLog::SideChanged);
}

SharedLog::~SharedLog() {
    if (thread_.isRunning()) {
        // Each statement is bounded, so the worker ends within seconds.
        QMetaObject::invokeMethod(worker_, &SharedLogWorker::Stop, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    } else {
        delete worker_;
    }
}

void SharedLog::Start() {
    thread_.start();
    QMetaObject::invokeMethod(worker_, &SharedLogWorker::Start, Qt::QueuedConnection);
}

void SharedLog::Kick() {
    const quint64 change = ++changes_;
    QMetaObject::invokeMethod(
        worker_, [worker = worker_, change] { worker->Deliver(change); }, Qt::QueuedConnection);
}

void SharedLog::PublishSide() {
    QMetaObject::invokeMethod(
        worker_, [worker = worker_] { worker->PublishSide(); }, Qt::QueuedConnection);
}

void SharedLog::Import(const std::vector<QsoRow>& rows) {
    QMetaObject::invokeMethod(
        worker_, [worker = worker_, rows] { worker->Import(rows); }, Qt::QueuedConnection);
}

void SharedLog::CancelImport() {
    worker_->CancelImport();
}

void SharedLog::Take(bool online, int waiting, const QStringList& refused, quint64 covered) {
    covered_ = covered;
    const bool refusedChanged = refused != refused_;
    online_ = online;
    waiting_ = waiting;
    refused_ = refused;
    emit StateChanged(online, waiting);
    if (refusedChanged)
        emit RefusedChanged(refused_);
}

} // namespace qarvel
