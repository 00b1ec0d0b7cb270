// Taps on "Get Dare" before the program runs are kept for it, which answers them with one dare.
// The page's one inline script: the server's policy allows it by its hash.
window.tazzleEarly = { dare: false };
document.addEventListener("click", event => {
    if (window.tazzleEarly && event.target.closest && event.target.closest("#imgGetDare"))
        window.tazzleEarly.dare = true;
}, true);
