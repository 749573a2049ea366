#include "engine/CurlFailure.h"

#include <cerrno>

HttpFailure FailureOf(CURLcode code, long systemError)
{
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return HttpFailure::CannotResolve;
    case CURLE_COULDNT_CONNECT:
        // libcurl words every failed connect alike; the system's reason tells them apart.
        switch (systemError) {
        case ECONNREFUSED:
            return HttpFailure::Refused;
        case ETIMEDOUT:
        case EHOSTUNREACH:
        case EHOSTDOWN:
            return HttpFailure::NoAnswer;
        default:
            return HttpFailure::Other;
        }
    case CURLE_OPERATION_TIMEDOUT:
        return HttpFailure::NoAnswer;
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
    case CURLE_HTTP2_STREAM:
        return HttpFailure::ConnectionDropped;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
        return HttpFailure::Certificate;
    default:
        return HttpFailure::Other;
    }
}
