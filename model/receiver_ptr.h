#pragma once
#include <memory>

// The names a job's callers need to pass a receiver, without the receivers'
// definitions (model/job_progress.h).
class IResetProgress;
class IIOSDSendingProgress;
class IOSDSavingProgress;

template <class I>
class CReceiverHandle;

// How a job holds its receiver (see CReceiverHandle).
template <class I>
using ReceiverPtr = std::shared_ptr<CReceiverHandle<I>>;
