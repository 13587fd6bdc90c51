// Opening and closing connections, identifier lookup and the last-error record.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "odbcaccs/text_field.h"
#include "platform/heap.h"
#include "table/DataSourceTable.h"
#include "table/table_messages.h"

namespace jov {

namespace {

// Allocator over the library's heap, so that the object and its shared
// ownership record come in one block that tests can make fail.
template <typename T>
struct HeapAllocator {
    using value_type = T;
    HeapAllocator() = default;
    template <typename U>
    HeapAllocator(const HeapAllocator<U>&) {}
    T* allocate(std::size_t n) {
        void* block = AllocateBytes(n * sizeof(T));
        if (block == nullptr) throw std::bad_alloc();
        return static_cast<T*>(block);
    }
    void deallocate(T* block, std::size_t) { FreeBytes(block); }
    template <typename U>
    bool operator==(const HeapAllocator<U>&) const { return true; }
    template <typename U>
    bool operator!=(const HeapAllocator<U>&) const { return false; }
};

// An OdbcAccs whose last owner closes it: the connection and everything it
// holds are released when nobody uses the object any more.
struct OwnedConnection {
    OdbcAccs accs;
    ~OwnedConnection() { accs.OdbcClose(); }
};

// A new object, or null with errno set when the heap is exhausted.
OdbcAccsRef CreateObject() {
    try {
        auto owned = std::allocate_shared<OwnedConnection>(HeapAllocator<OwnedConnection>());
        return OdbcAccsRef(owned, &owned->accs);
    } catch (const std::bad_alloc&) {
        if (errno == 0) errno = ENOMEM;
        return nullptr;
    }
}

}  // namespace

int32_t DataSourceTable::Open(const char* dataSource, const char* user, const char* password) {
    BusyGuard guard(openBusy_);
    int32_t index = TakeFreeSlot();
    if (index < 0) return -1;
    errno = 0;
    OdbcAccsRef object = CreateObject();
    if (!object) {
        char code[kErrorCodeSize];
        std::snprintf(code, sizeof code, "%d", errno);
        SetError(kMsgCreateFailed, code);
        return -1;
    }
    slots_[index].Set(object);
    if (object->OdbcOpen(dataSource, user, password) == 1) return index + 1;
    // A failed open gives its slot back, so that failed attempts cannot use up
    // the table; the object is closed when the last reference goes.
    CopyErrorFrom(*object);
    slots_[index].ResetIf(object);
    return -1;
}

int32_t DataSourceTable::TakeFreeSlot() {
    // Only Open fills slots, and opens run one at a time: a slot found free
    // stays free until this open fills it.
    for (int32_t i = 0; i < kMaxDataSources; ++i) {
        if (slots_[i].IsFree()) return i;
    }
    char message[kErrorMessageSize];
    std::snprintf(message, sizeof message, kMsgTooManyOpen, kMaxDataSources);
    SetError(message, kCodeTooManyOpen);
    return -1;
}

void DataSourceTable::Close(int32_t id) {
    OdbcAccsRef object = FindOpen(id);
    if (!object) return;
    slots_[id - 1].ResetIf(object);
    // The object is closed and deleted here, or by the last call still using it.
}

OdbcAccsRef DataSourceTable::FindOpen(int32_t id) {
    char message[kErrorMessageSize];
    if (id < 1 || id > kMaxDataSources) {
        std::snprintf(message, sizeof message, kMsgIdOutOfRange, id);
        SetError(message, kCodeIdOutOfRange);
        return nullptr;
    }
    OdbcAccsRef object = slots_[id - 1].Get();
    if (!object || object->IsOpenOk() == 0) {
        std::snprintf(message, sizeof message, kMsgIdNotOpen, id);
        SetError(message, object ? kCodeIdNotOpen : kCodeIdFree);
        return nullptr;
    }
    return object;
}

void DataSourceTable::SetError(const char* message, const char* code) {
    std::lock_guard<std::mutex> lock(errorLock_);
    CopyField(errorMessage_, sizeof errorMessage_, message);
    CopyField(errorCode_, sizeof errorCode_, code);
}

int32_t DataSourceTable::GetError(char* message, char* code) {
    std::lock_guard<std::mutex> lock(errorLock_);
    std::memcpy(message, errorMessage_, sizeof errorMessage_);
    std::memcpy(code, errorCode_, sizeof errorCode_);
    return 0;
}

void DataSourceTable::CopyErrorFrom(OdbcAccs& object) {
    char message[kErrorMessageSize];
    char code[kErrorCodeSize];
    object.GetError(message, code);
    SetError(message, code);
}

DataSourceTable& TheDataSourceTable() {
    // Never destroyed: connections still open when the library is unloaded
    // or the process ends are left alone.
    static DataSourceTable* table = new DataSourceTable();
    return *table;
}

}  // namespace jov
