// The production wiring of the safe downloader: transfers through the Dravik client library.
#include "service/transfer/DravikTransferClient.h"
#include "service/transfer/SafeDownloader.h"

namespace quillo::service {

SafeDownloader::SafeDownloader(loop::MainLoop& loop, http::HttpTransport& transport)
    : SafeDownloader(loop, std::make_unique<DravikTransferClient>(transport)) {}

}  // namespace quillo::service
