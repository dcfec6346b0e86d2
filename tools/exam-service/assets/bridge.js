// The page side of the Tessaro message bridge, shared by the demo exam page and by test pages.
//
// Tessaro calls window.K$.macOS.message(name, payload); every call is kept in
// K$.macOS.received, shown in the page's element #tessaro-log when it has one, and reported to
// the service (POST /report), where the tests read it from the request log.
// Pages send with tessaroPost(name, body), report with tessaroReport(object) and follow
// messages with tessaroOnMessage(listener). A "security" answer is checked with the service
// against the exam key last posted, and the verdict is shown in #tessaro-security.
(function () {
    "use strict";

    const knownNames = ["saveFile", "security", "log", "quit", "download", "processes", "battery"];
    // Browsers refuse keepalive requests with bodies above 64 KiB; larger reports go without.
    const keepaliveLimit = 60000;
    const shownPayloadLength = 200;

    const received = [];
    const listeners = [];
    let lastExamKey = "";

    function report(object) {
        const body = JSON.stringify(object);
        return fetch("/report", {
            method: "POST",
            headers: {"Content-Type": "application/json"},
            body: body,
            keepalive: body.length < keepaliveLimit,
        }).catch(function () {});
    }

    function handler(name) {
        const handlers = window.webkit && window.webkit.messageHandlers;
        return handlers && handlers[name] ? handlers[name] : null;
    }

    function post(name, body) {
        if (name === "security" && body && typeof body === "object") {
            lastExamKey = typeof body.examkey === "string" ? body.examkey : "";
        }
        const target = handler(name);
        if (!target) {
            report({kind: "missing-handler", name: name});
            return false;
        }
        target.postMessage(body);
        return true;
    }

    function shown(payload) {
        const text = typeof payload === "string" ? payload : JSON.stringify(payload);
        return text.length > shownPayloadLength ? text.slice(0, shownPayloadLength) + "…" : text;
    }

    function appendToLog(name, payload) {
        const log = document.getElementById("tessaro-log");
        if (!log) {
            return;
        }
        const entry = document.createElement(log.tagName === "OL" || log.tagName === "UL" ? "li" : "div");
        const label = document.createElement("strong");
        label.textContent = name;
        entry.append(label, " " + shown(payload));
        log.append(entry);
        log.scrollTop = log.scrollHeight;
    }

    function showVerdict(verified) {
        const place = document.getElementById("tessaro-security");
        if (place) {
            place.textContent = verified ? "security answer verified" : "security answer NOT verified";
            place.dataset.verified = String(verified);
        }
    }

    async function verifySecurity(answer) {
        const query = new URLSearchParams({examkey: lastExamKey, answer: String(answer)});
        let verified = false;
        try {
            const response = await fetch("/verify-security?" + query.toString());
            verified = (await response.json()).verified === true;
        } catch (error) {
            verified = false;
        }
        showVerdict(verified);
        report({kind: "security-verified", verified: verified});
    }

    window.K$ = {
        macOS: {
            received: received,
            message: function (name, payload) {
                received.push({name: name, payload: payload});
                appendToLog(name, payload);
                report({kind: "message", name: name, payload: payload});
                if (name === "security") {
                    verifySecurity(payload);
                }
                for (const listener of listeners) {
                    try {
                        listener(name, payload);
                    } catch (error) {
                        report({kind: "listener-error", name: name, error: String(error)});
                    }
                }
            },
        },
    };
    window.tessaroReport = report;
    window.tessaroPost = post;
    window.tessaroOnMessage = function (listener) {
        listeners.push(listener);
    };

    function reportLoaded() {
        report({
            kind: "loaded",
            page: location.pathname,
            handlers: knownNames.filter(function (name) { return handler(name) !== null; }),
            userAgent: navigator.userAgent,
            query: location.search,
        });
    }
    if (document.readyState === "loading") {
        document.addEventListener("DOMContentLoaded", reportLoaded);
    } else {
        reportLoaded();
    }
})();
