// The images of a drawing page (the cImg and cImgs of the program): every IMG element reports its
// click, press and moves with the image's address, the event's position and the document's scroll
// offsets. A click on a wrapped image never follows a link around it. Runs in the program's own
// script world, which the page's scripts cannot see; events made up by a script are not reported.
(function () {
    'use strict';
    if (location.protocol !== 'file:')
        return;
    var marque = '@MARQUE@';

    function defilement() {
        // The scrolling element is the body in quirks mode and the root element otherwise.
        var e = document.scrollingElement || document.body;
        return e ? [e.scrollLeft, e.scrollTop] : [0, 0];
    }

    function cImg(img, rapporte) {
        function signale(genre, e) {
            if (!e.isTrusted)
                return;
            var d = defilement();
            rapporte(genre, img.src, e.clientX, e.clientY, d[0], d[1]);
        }
        img.addEventListener('click', function (e) {
            e.preventDefault();
            signale('ImgClicked', e);
        });
        img.addEventListener('mousedown', function (e) { signale('ImgMouseDown', e); });
        img.addEventListener('mousemove', function (e) { signale('ImgMouseMove', e); });
    }

    function ImgParse(rapporte) {
        var imgs = document.getElementsByTagName('IMG');
        for (var i = 0; i < imgs.length; ++i)
            cImg(imgs[i], rapporte);
    }

    if (window === window.top && typeof qt !== 'undefined' && qt.webChannelTransport) {
        new QWebChannel(qt.webChannelTransport, function (canal) {
            var pont = canal.objects.cImgs;
            ImgParse(function (genre, href, x, y, sl, st) { pont[genre](href, x, y, sl, st); });
            // Ready once the page has been laid out and painted (told under the program's mark,
            // so that the channel's object takes the three reports and nothing else).
            requestAnimationFrame(function () {
                requestAnimationFrame(function () { console.log(marque + ' ' + JSON.stringify(['pret'])); });
            });
        });
    } else {
        // Frames have no channel: they report through the console, under the program's mark.
        ImgParse(function (genre, href, x, y, sl, st) {
            console.log(marque + ' ' + JSON.stringify(['image', genre, href, x, y, sl, st]));
        });
    }
})();
